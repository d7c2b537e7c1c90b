#include "wallpaper.h"

#include <vector>

#include "extract_entries.h"
#include "file.h"
#include "image/bmp_writer.h"
#include "message_box.h"
#include "resource.h"
#include "text.h"

namespace {

class SystemDesktop : public Desktop {
public:
    bool openKey() override {
        return RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_SET_VALUE, &key_) == ERROR_SUCCESS;
    }
    void setValue(const char* name, const char* digit) override {
        RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(digit), 2);
    }
    void closeKey() override {
        RegCloseKey(key_);
        key_ = nullptr;
    }
    bool setWallpaper(const std::wstring& path) override {
        std::wstring text = path;  // the call takes a writable pointer
        return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, &text[0], SPIF_UPDATEINIFILE) != 0;
    }

private:
    HKEY key_ = nullptr;
};

enum class Made { Yes, No, WriteFailed };

// The stored file of a BMP page, unchanged.
Made writeStoredFile(const CollectionEntry& entry, const std::wstring& path) {
    File file;
    if (!file.createWrite(path)) return Made::No;
    const uint32_t size = static_cast<uint32_t>(entry.data.size());
    if (size > 0 && !file.write(entry.data.data(), size)) return Made::WriteFailed;
    return Made::Yes;
}

// The picture on show as a BMP file (a JPEG page). An empty `path` is a file that cannot be
// opened; the message then names the file as `shownPath`.
Made writePictureFile(const PictureFields& picture, const std::wstring& path, const std::wstring& shownPath,
                      HWND owner) {
    std::vector<uint8_t> bytes;
    if (picture.bitmapInfo == nullptr || picture.pictureBits == nullptr ||
        !writePictureBmp(*picture.bitmapInfo, picture.pictureWidth, picture.pictureHeight, picture.pictureBits,
                         picture.bitmapPitch, picture.bitmapHeight, bytes)) {
        return Made::No;
    }
    File file;
    if (path.empty() || !file.createWrite(path)) {
        showMessage(owner, shownPath + toWide("を\n出力ﾌｧｲﾙとして開くことが出来ません。"));
        return Made::No;
    }
    return file.write(bytes.data(), static_cast<uint32_t>(bytes.size())) ? Made::Yes : Made::WriteFailed;
}

// A title that pathBesideProgram refuses leaves `path` empty. A JPEG page's writer still names
// the file it could not open, as it would have been called.
Made writeWallpaperFile(const WallpaperSource& source, std::wstring& path) {
    if (source.entry == nullptr) return Made::No;
    path = pathBesideProgram(source.programPath, source.title, ".BMP");
    switch (source.entry->formatTag) {
    case FormatTag::Bmp: return path.empty() ? Made::No : writeStoredFile(*source.entry, path);
    case FormatTag::Jpg: {
        const std::wstring shownPath = programFolder(source.programPath) + toWide(source.title + ".BMP");
        return writePictureFile(source.picture, path, shownPath, source.owner);
    }
    case FormatTag::None: break;
    }
    return Made::No;
}

void setWallpaper(UINT command, const WallpaperSource& source, Desktop& desktop) {
    std::wstring path;
    switch (writeWallpaperFile(source, path)) {
    case Made::Yes:
        applyWallpaper(command, path, desktop);
        break;
    case Made::No:
        showMessage(source.owner, std::string("壁紙作成に失敗しました。"));
        break;
    case Made::WriteFailed:
        break;  // the file-error box has told the reader
    }
}

}  // namespace

Desktop& systemDesktop() {
    static SystemDesktop desktop;
    return desktop;
}

int writePictureBmp(const PictureFields& picture, const std::wstring& path, HWND owner) {
    return writePictureFile(picture, path, path, owner) == Made::Yes ? 1 : 0;
}

std::wstring makeWallpaperFile(const WallpaperSource& source) {
    std::wstring path;
    return writeWallpaperFile(source, path) == Made::Yes ? path : std::wstring();
}

void applyWallpaper(UINT command, const std::wstring& path, Desktop& desktop) {
    if (!desktop.openKey()) return;
    desktop.setValue("TileWallpaper", command == ID_WALLPAPER_WHOLE ? "1" : "0");
    desktop.setValue("WallpaperOriginX", "0");
    desktop.setValue("WallpaperOriginY", "0");
    desktop.setValue("WallpaperStyle", "0");
    desktop.closeKey();
    if (desktop.setWallpaper(path)) return;
    // Refused: back to plain origin and style, and no wallpaper at all.
    if (!desktop.openKey()) return;
    desktop.setValue("WallpaperOriginX", "0");
    desktop.setValue("WallpaperOriginY", "0");
    desktop.setValue("WallpaperStyle", "0");
    desktop.closeKey();
    desktop.setWallpaper(std::wstring());
}

void setWallpaperCentre(const WallpaperSource& source, Desktop& desktop) {
    setWallpaper(ID_WALLPAPER_CENTRE, source, desktop);
}

void setWallpaperWhole(const WallpaperSource& source, Desktop& desktop) {
    setWallpaper(ID_WALLPAPER_WHOLE, source, desktop);
}
