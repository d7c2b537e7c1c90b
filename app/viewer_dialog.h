// `ViewerDialog`: the main window (dialog template 102) and the owner of a run's whole state:
// the collection, the current page, the countdown, menus, cursors and the picture.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "collection.h"
#include "collection_start.h"
#include "wallpaper.h"
#include "dialog.h"
#include "file.h"
#include "image/area_average.h"
#include "menu.h"
#include "palette_realisation.h"
#include "window_canvas.h"

// Window timers of the main window.
enum ViewerTimer : UINT_PTR {
    kAutoAdvanceTimer = 103,     // turns the page every `intervalMs`
    kCountdownTimer = 104,       // counts the caption's seconds down
    kCommentTimer = 105,         // opens the comment box once after start
    kRemainingEntriesTimer = 106 // reads entries 2..n once after start
};

class ViewerDialog : public Dialog {
public:
    ViewerDialog();
    ~ViewerDialog() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD notification, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Start-up steps (OnInitDialog).
    bool showFirstPage();
    void setStartCursors();
    void setStartMenuBar();
    void removeCaptionIfAsked();
    void trimContextMenuForOnePage();
    void startCaptionAndCountdown();
    void armStartTimers();

    // Palette messages (palette_messages.cpp).
    int queryNewPalette(bool paletteChangedMessage = false);
    void paletteChanged(HWND focusWindow);

    // Page display (page_display.cpp).
    bool displayEntry(const CollectionEntry& entry);
    bool showEntryOnCanvas(const CollectionEntry& entry);
    PictureSize largestPicture();
    bool windowInsideWorkArea();
    void keepReducedPictureInside();
    void fitWindowToPicture();
    void centreOnScreen();
    void paintPicture(HDC dc);
    void onPaint();

    // Navigation and auto-advance (navigation.cpp).
    void goToPage(uint32_t n);
    void turnPages(int32_t count);  // negative: back
    void nextPage();
    void previousPage();
    void firstPage();
    void lastPage();
    void restartAutoAdvance();
    void stopAutoAdvance();
    void killAutoAdvanceTimers();
    void onCountdownTick();
    void setPageCaption(bool withCountdown);
    void switchMenuBarToLastPage();
    void switchMenuBarToBrowsing();

    // Commands and menus (commands.cpp).
    bool onSystemCommand(WPARAM wParam);  // false: default handling
    void onContextMenu(LPARAM lParam);
    void showAboutBox();
    void showCommentBox();
    void pickPage();
    void restoreEntries(int all);  // 0: the current entry; 1: every entry
    WallpaperSource wallpaperSource() const;
    void makeWallpaper(UINT command);

    // Mouse (mouse.cpp).
    void onLeftButtonDown(POINT point);
    void onMouseMove();
    void onLeftButtonDoubleClick();
    bool onLeftButtonUp(POINT point);  // false: no default handling

    // Keys and wheel (keys_and_wheel.cpp).
    bool onKeyDown(WPARAM virtualKey);  // false: not a key of the viewer's
    void onMouseWheel(int delta);

    // Loading the collection (collection_loading.cpp).
    bool loadChosenSource();
    bool loadCollection(const std::wstring& path);
    bool loadSingleFile(const std::wstring& path);
    bool loadOwnCollection();
    bool readHeaderAndFirstEntry();
    bool loadRemainingEntries();
    void discardCollectionCopy();
    void freeCollection();
    static void titleRead(void* context, const std::string& text);

    HICON appIcon;
    CollectionStart collectionStart;
    std::vector<CollectionEntry> entries;  // empty: no table
    File collectionFile;
    uint32_t captionFlag = 1;
    uint32_t commentFlag = 0xFFFFFFFFu;
    uint32_t menuBarFlag = 1;
    Menu contextMenu;
    // The picture as shown: its bitmap section, description and palette.
    WindowCanvas canvas;
    PaletteCalls* paletteCalls = &systemPaletteCalls();
    bool lastPageLayout = false;  // the menu bar and cursor of the last page are in place
    uint32_t entryCount = 1;
    uint32_t currentPage = 1;
    int32_t intervalSeconds = -1;  // as the book says; 0 or less: no auto-advance
    int32_t intervalMs = -1;       // the auto-advance timer's period; -1: none
    uint32_t secondsLeft = 0;
    uint32_t mouseMode = 1;
    bool advancedByDoubleClick = false;
    std::string title, comment, linkText;  // Shift-JIS
    HCURSOR pressCursor = nullptr;
    HCURSOR dragCursor = nullptr;
    POINT pressPoint = {0, 0};
    int wheelRemainder = 0;  // wheel movement short of a whole notch, kept for the next message
};
