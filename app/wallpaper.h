// The wallpaper commands: the current page becomes a BMP file beside the program, named after
// the title, and that file the desktop wallpaper, centred (32782) or tiled over the desktop (32783).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "collection.h"
#include "image/bitmap_info.h"

// The fields of the window's picture state that the BMP writer reads.
struct PictureFields {
    const BitmapInfo* bitmapInfo = nullptr;  // header and colour table of the picture bitmap
    uint32_t pictureWidth = 0;               // the picture as shown
    uint32_t pictureHeight = 0;
    const uint8_t* pictureBits = nullptr;    // first byte of the bitmap's pixel memory (its bottom row)
    uint32_t bitmapHeight = 0;               // H0: rows of the bitmap (a JPEG's are rounded up to whole MCUs)
    size_t bitmapPitch = 0;                  // P0: bytes per row of the bitmap
};

// What a wallpaper command takes from the main window.
struct WallpaperSource {
    PictureFields picture;
    const CollectionEntry* entry = nullptr;  // the current page's entry; null: none
    std::string title;                       // Shift-JIS
    std::wstring programPath;                // the program's own file (ownProgramPath())
    HWND owner = nullptr;                    // owner of the message boxes
};

// A registry value as it was: its type and bytes, or that there was none.
struct SavedValue {
    enum class State { Absent, Present, Unknown } state = State::Unknown;  // Unknown: could not be read
    unsigned long type = 0;
    std::vector<uint8_t> data;
    bool operator==(const SavedValue& other) const {
        return state == other.state && type == other.type && data == other.data;
    }
};

// The registry key "Control Panel\desktop" of the current user and the system's wallpaper
// setting, replaceable so that a refusal of the system can be tried.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Opens the key for reading and writing its values.
    virtual bool openKey() = 0;
    // Writes a REG_SZ value of one digit (data length 2: the digit and its zero).
    virtual void setValue(const char* name, const char* digit) = 0;
    // Reads a value as it is stored.
    virtual SavedValue readValue(const char* name) = 0;
    // Writes a value back as it was read, or deletes it when there was none; an Unknown one
    // is left alone.
    virtual void restoreValue(const char* name, const SavedValue& value) = 0;
    virtual void closeKey() = 0;
    // SPI_SETDESKWALLPAPER with SPIF_UPDATEINIFILE; an empty path removes the wallpaper.
    virtual bool setWallpaper(const std::wstring& path) = 0;
};

// The real registry and SystemParametersInfoW.
Desktop& systemDesktop();

// Writes the picture on show as a BMP file: 1 when written, else 0. A bitmap that cannot be
// described gives 0 silently; a file that cannot be opened shows its own message first.
int writePictureBmp(const PictureFields& picture, const std::wstring& path, HWND owner);

// Writes the wallpaper file (the stored file of a BMP page, the picture on show for a JPEG page);
// returns its path, or "" when no file was made.
std::wstring makeWallpaperFile(const WallpaperSource& source);

// Writes the four registry values of `command` and sets `path` as the wallpaper; when the system
// refuses, the four values go back to what they were and the reader's wallpaper stays. Silent
// throughout.
void applyWallpaper(UINT command, const std::wstring& path, Desktop& desktop = systemDesktop());

// Handlers of commands 32782 and 32783: "壁紙作成に失敗しました。" when no file was made. A write
// that fails once the file is open is reported as a file error and ends the command there.
void setWallpaperCentre(const WallpaperSource& source, Desktop& desktop = systemDesktop());
void setWallpaperWhole(const WallpaperSource& source, Desktop& desktop = systemDesktop());
