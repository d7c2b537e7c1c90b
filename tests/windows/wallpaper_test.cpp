// The wallpaper commands: the BMP file beside the program (stored BMP pages unchanged, JPEG pages
// as the picture on show), the registry values and the system call, the fall-back when the
// system refuses, and the failure messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "extract_entries.h"
#include "message_box_answer.h"
#include "resource.h"
#include "scratch_folder.h"
#include "wallpaper.h"

namespace {

const std::wstring kNoWallpaper = L"壁紙作成に失敗しました。";
const std::wstring kCannotOpen = L"を\n出力ﾌｧｲﾙとして開くことが出来ません。";

uint32_t le32(const std::string& bytes, size_t at) {
    return uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8 | uint8_t(bytes[at + 2]) << 16 |
           uint32_t(uint8_t(bytes[at + 3])) << 24;
}

// A written BMP file's layout: file size, pixel offset, info header size, width, height and
// pixel bytes.
std::vector<uint32_t> layoutOf(const std::string& file) {
    std::vector<uint32_t> fields;
    for (size_t at : {2, 10, 14, 18, 22, 34}) fields.push_back(le32(file, at));
    return fields;
}

// Runs `action` and answers every message box it shows; their texts in order.
std::vector<std::wstring> answerAllBoxes(const std::function<void()>& action) {
    std::vector<std::wstring> texts;
    for (const AnsweredBox& box : answerMessageBoxes(action)) texts.push_back(box.text);
    return texts;
}

// A value as the registry would hold it.
SavedValue storedValue(DWORD type, const std::string& bytes) {
    SavedValue value;
    value.state = SavedValue::State::Present;
    value.type = type;
    value.data.assign(bytes.begin(), bytes.end());
    return value;
}

// Records what the command does to the registry key and the system's setting, and keeps the
// key's values (absent ones are not in `values`).
class RecordingDesktop : public Desktop {
public:
    bool keyOpens = true;
    bool systemRefuses = false;
    std::vector<std::string> calls;
    std::map<std::string, SavedValue> values;

    bool openKey() override {
        calls.push_back("open");
        return keyOpens;
    }
    void setValue(const char* name, const char* digit) override {
        calls.push_back(std::string(name) + "=" + digit);
        values[name] = storedValue(REG_SZ, std::string(digit, 2));
    }
    SavedValue readValue(const char* name) override {
        auto found = values.find(name);
        if (found != values.end()) return found->second;
        SavedValue absent;
        absent.state = SavedValue::State::Absent;
        return absent;
    }
    void restoreValue(const char* name, const SavedValue& value) override {
        calls.push_back(std::string("restore ") + name);
        if (value.state == SavedValue::State::Present) values[name] = value;
        if (value.state == SavedValue::State::Absent) values.erase(name);
    }
    void closeKey() override { calls.push_back("close"); }
    bool setWallpaper(const std::wstring& path) override {
        calls.push_back(path.empty() ? "wallpaper none" : "wallpaper set");
        lastPath = path;
        return !(systemRefuses && !path.empty());
    }
    std::wstring lastPath;
};

// A JPEG picture of 100 x 75 pixels held in a bitmap of 112 x 80 (rounded up to whole MCUs).
struct JpegPicture {
    explicit JpegPicture(uint16_t depth) {
        info.header.width = 112;
        info.header.height = 80;
        info.header.bitCount = depth;
        info.header.clrUsed = depth == 8 ? 256 : 0;
        for (int i = 0; i < 256; ++i) info.colours[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
        pitch = depth == 8 ? 112 : 336;
        pixels.resize(pitch * 80);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 7 + i / pitch);
    }
    PictureFields fields() const {
        PictureFields f;
        f.bitmapInfo = &info;
        f.pictureWidth = 100;
        f.pictureHeight = 75;
        f.pictureBits = pixels.data();
        f.bitmapHeight = 80;
        f.bitmapPitch = pitch;
        return f;
    }
    BitmapInfo info;
    size_t pitch;
    std::vector<uint8_t> pixels;
};

class WallpaperTest : public ::testing::Test {
protected:
    WallpaperTest() {
        source.programPath = scratch.file(L"viewer.exe");
        source.title = "Spring";
        source.entry = &entry;
    }
    void page(FormatTag tag, const std::string& bytes) {
        entry.formatTag = tag;
        entry.data.assign(bytes.begin(), bytes.end());
    }
    std::vector<std::wstring> centre() {
        return answerAllBoxes([&] { setWallpaperCentre(source, desktop); });
    }
    std::string written() {
        std::string bytes;
        return readWholeFile(scratch.file(L"Spring.BMP"), bytes) ? bytes : "(missing)";
    }

    ScratchFolder scratch;
    CollectionEntry entry;
    WallpaperSource source;
    RecordingDesktop desktop;
};

const std::vector<std::string> kCentreCalls = {"open",  "TileWallpaper=0", "WallpaperOriginX=0", "WallpaperOriginY=0",
                                               "WallpaperStyle=0", "close", "wallpaper set"};

TEST_F(WallpaperTest, BmpPageIsWrittenByteForByteAndBecomesTheWallpaper) {
    const std::string stored("BM\x06\x00\x00\x00\x00\x01\xff\x7f", 10);
    page(FormatTag::Bmp, stored);
    EXPECT_TRUE(centre().empty());
    EXPECT_EQ(written(), stored);
    EXPECT_EQ(desktop.calls, kCentreCalls);
    EXPECT_EQ(desktop.lastPath, scratch.file(L"Spring.BMP"));
}

TEST_F(WallpaperTest, JpegPageOf24BitsLeavesOutTheRoundingRowsAndColumns) {
    JpegPicture picture(24);
    source.picture = picture.fields();
    page(FormatTag::Jpg, "\xff\xd8");
    EXPECT_EQ(makeWallpaperFile(source), scratch.file(L"Spring.BMP"));
    const std::string file = written();
    ASSERT_EQ(file.size(), 22554u);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(layoutOf(file), (std::vector<uint32_t>{22554, 54, 40, 100, 75, 7500}));
    // Row 0 of the file is bitmap row 5 (the five bottom rows are MCU padding), first 300 bytes.
    for (int row : {0, 37, 74}) {
        EXPECT_EQ(std::memcmp(file.data() + 54 + row * 300, picture.pixels.data() + (row + 5) * 336, 300), 0) << row;
    }
}

TEST_F(WallpaperTest, JpegPageOf8BitsCarriesTheColourTable) {
    JpegPicture picture(8);
    source.picture = picture.fields();
    page(FormatTag::Jpg, "\xff\xd8");
    EXPECT_TRUE(centre().empty());
    const std::string file = written();
    ASSERT_EQ(file.size(), 8578u);
    EXPECT_EQ(layoutOf(file), (std::vector<uint32_t>{8578, 1078, 40, 100, 75, 7500}));
    EXPECT_EQ(uint8_t(file[28]), 8);
    EXPECT_EQ(std::string(file.data() + 54 + 4 * 200, 4), std::string("\xc8\x37\x64\x00", 4));
    EXPECT_EQ(std::memcmp(file.data() + 1078 + 74 * 100, picture.pixels.data() + 79 * 112, 100), 0);
    EXPECT_EQ(desktop.calls, kCentreCalls);
}

TEST_F(WallpaperTest, WholeDesktopTilesTheWallpaper) {
    page(FormatTag::Bmp, "BM");
    answerAllBoxes([&] { setWallpaperWhole(source, desktop); });
    ASSERT_GE(desktop.calls.size(), 2u);
    EXPECT_EQ(desktop.calls[1], "TileWallpaper=1");
}

// The reader's own values, of other types and lengths, one of them absent: a refusal puts them
// back exactly and leaves the reader's wallpaper alone.
TEST_F(WallpaperTest, RefusedWallpaperPutsTheReadersValuesBack) {
    page(FormatTag::Bmp, "BM");
    desktop.systemRefuses = true;
    desktop.values["TileWallpaper"] = storedValue(REG_SZ, std::string("0\0\0\0", 4));  // wide "0"
    desktop.values["WallpaperStyle"] = storedValue(REG_SZ, std::string("1\0" "0\0\0\0", 6));  // wide "10"
    desktop.values["WallpaperOriginX"] = storedValue(REG_DWORD, std::string("\x05\0\0\0", 4));
    const std::map<std::string, SavedValue> before = desktop.values;
    EXPECT_TRUE(answerAllBoxes([&] { setWallpaperWhole(source, desktop); }).empty());
    EXPECT_TRUE(desktop.values == before);
    EXPECT_EQ(desktop.values.count("WallpaperOriginY"), 0u);
    const std::vector<std::string> expected = {
        "open", "TileWallpaper=1", "WallpaperOriginX=0", "WallpaperOriginY=0", "WallpaperStyle=0", "close",
        "wallpaper set", "open", "restore TileWallpaper", "restore WallpaperOriginX", "restore WallpaperOriginY",
        "restore WallpaperStyle", "close"};
    EXPECT_EQ(desktop.calls, expected);  // no call that sets an empty wallpaper
}

TEST_F(WallpaperTest, KeyThatCannotBeOpenedChangesNothing) {
    page(FormatTag::Bmp, "BM");
    desktop.keyOpens = false;
    EXPECT_TRUE(centre().empty());
    EXPECT_EQ(desktop.calls, std::vector<std::string>{"open"});
}

TEST_F(WallpaperTest, PageWithoutFormatMakesNoFile) {
    page(FormatTag::None, "xx");
    EXPECT_EQ(centre(), std::vector<std::wstring>{kNoWallpaper});
    EXPECT_EQ(written(), "(missing)");
    EXPECT_TRUE(desktop.calls.empty());
    source.entry = nullptr;
    EXPECT_EQ(centre(), std::vector<std::wstring>{kNoWallpaper});
}

// A refused title makes no file on either kind of page; a JPEG page's writer first names the
// file it cannot open, as the title would have named it.
TEST_F(WallpaperTest, UnsafeOrTooLongTitleMakesNoFileAnywhere) {
    JpegPicture picture(24);
    source.picture = picture.fields();
    const size_t room = kMaxWrittenPathChars - scratch.path().size();
    for (FormatTag tag : {FormatTag::Bmp, FormatTag::Jpg}) {
        page(tag, tag == FormatTag::Bmp ? "BM" : "\xff\xd8");
        for (const std::string& title : {std::string("..\\Spring"), std::string("a:b"), std::string("NUL"),
                                         std::string("a?"), std::string(room - 3, 'a')}) {
            source.title = title;
            std::vector<std::wstring> expected = {kNoWallpaper};
            if (tag == FormatTag::Jpg) {
                const std::wstring named = scratch.path() + std::wstring(title.begin(), title.end()) + L".BMP";
                expected.insert(expected.begin(), named + kCannotOpen);
            }
            EXPECT_EQ(centre(), expected) << title;
        }
    }
    EXPECT_TRUE(desktop.calls.empty());
    page(FormatTag::Bmp, "BM");
    source.title = std::string(room - 4, 'a');  // exactly fits
    EXPECT_TRUE(centre().empty());
}

TEST_F(WallpaperTest, JpegFileThatCannotBeOpenedShowsBothMessages) {
    JpegPicture picture(24);
    source.picture = picture.fields();
    page(FormatTag::Jpg, "\xff\xd8");
    ASSERT_TRUE(CreateDirectoryW(scratch.file(L"Spring.BMP").c_str(), nullptr));
    const std::vector<std::wstring> expected = {
        scratch.file(L"Spring.BMP") + kCannotOpen, kNoWallpaper};
    EXPECT_EQ(centre(), expected);
    EXPECT_TRUE(desktop.calls.empty());
}

TEST_F(WallpaperTest, JpegPageWithoutABitmapFailsWithoutItsOwnMessage) {
    page(FormatTag::Jpg, "\xff\xd8");
    EXPECT_EQ(centre(), std::vector<std::wstring>{kNoWallpaper});
    JpegPicture picture(24);
    source.picture = picture.fields();
    source.picture.pictureHeight = 81;  // taller than its bitmap
    EXPECT_EQ(centre(), std::vector<std::wstring>{kNoWallpaper});
    EXPECT_EQ(written(), "(missing)");
}

// The real registry of the current user and the system's wallpaper setting.
std::string desktopValue(const char* name, DWORD* type, DWORD* size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return "";
    }
    char data[16] = {};
    *size = sizeof data;
    RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(data), size);
    RegCloseKey(key);
    return data;
}

TEST(SystemDesktop, RegistryValuesOfBothCommandsAndTheWallpaperPath) {
    ScratchFolder scratch;
    const std::wstring path = scratch.file(L"Spring.BMP");
    for (UINT command : {ID_WALLPAPER_WHOLE, ID_WALLPAPER_CENTRE}) {
        applyWallpaper(command, path);
        for (const char* name : {"TileWallpaper", "WallpaperOriginX", "WallpaperOriginY", "WallpaperStyle"}) {
            DWORD type = 0, size = 0;
            std::string value = desktopValue(name, &type, &size);
            bool tiled = command == ID_WALLPAPER_WHOLE && std::strcmp(name, "TileWallpaper") == 0;
            EXPECT_EQ(value, tiled ? "1" : "0") << name << " " << command;
            EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
            EXPECT_EQ(size, 2u) << name;
        }
        wchar_t current[MAX_PATH] = {};
        SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, current, 0);
        EXPECT_EQ(std::wstring(current), path);
    }
    systemDesktop().setWallpaper(std::wstring());
}

// The raw registry value, of any type; "(absent)" when there is none.
std::string rawDesktopValue(const wchar_t* name, DWORD* type) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return "(no key)";
    }
    char data[64] = {};
    DWORD size = sizeof data;
    LONG result = RegQueryValueExW(key, name, nullptr, type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(data, size) : "(absent)";
}

TEST(SystemDesktop, SavedValuesComeBackExactlyAndAbsentOnesGo) {
    const std::string bytes("\x01\x02\x00\xff\x7f", 5);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\desktop", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExW(key, L"EdamiruSaved", 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()), 5);
    RegDeleteValueW(key, L"EdamiruAbsent");
    Desktop& desktop = systemDesktop();
    ASSERT_TRUE(desktop.openKey());
    const SavedValue saved = desktop.readValue("EdamiruSaved");
    const SavedValue absent = desktop.readValue("EdamiruAbsent");
    desktop.setValue("EdamiruSaved", "7");
    desktop.setValue("EdamiruAbsent", "7");
    desktop.restoreValue("EdamiruSaved", saved);
    desktop.restoreValue("EdamiruAbsent", absent);
    desktop.closeKey();
    DWORD type = 0;
    EXPECT_EQ(rawDesktopValue(L"EdamiruSaved", &type), bytes);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(rawDesktopValue(L"EdamiruAbsent", &type), "(absent)");
    RegDeleteValueW(key, L"EdamiruSaved");
    RegCloseKey(key);
}

}  // namespace
