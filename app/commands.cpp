// The command table of the main window (menu bar, context menu, system menu and keys) and the
// operations the commands open: the about box, the comment box, the file list, restoring files
// and the wallpaper.
#include <new>

#include "about_dialog.h"
#include "comment_dialog.h"
#include "context_menu.h"
#include "dib_section.h"
#include "extract_entries.h"
#include "file_list_dialog.h"
#include "file_system.h"
#include "image/show_entry.h"
#include "image/shown_picture.h"
#include "page_choice.h"
#include "resource.h"
#include "system_menu.h"
#include "viewer_dialog.h"
#include "wait_cursor.h"
#include "wallpaper.h"

namespace {
const int kCurrentEntry = 0;
const int kAllEntries = 1;
}  // namespace

bool ViewerDialog::OnCommand(WORD id, WORD notification, HWND control) {
    switch (id) {
    case IDOK: return true;  // Enter does nothing
    case ID_APP_EXIT_ITEM: endDialog(1); return true;
    case ID_MENU_CANCEL: return true;  // the menu just closes
    case ID_SHOW_ABOUT: showAboutBox(); return true;
    case ID_RESTORE_THIS: restoreEntries(kCurrentEntry); return true;
    case ID_FIRST:
    case ID_FIRST_PAGE: firstPage(); return true;
    case ID_NEXT: nextPage(); return true;
    case ID_RESTORE_ALL: restoreEntries(kAllEntries); return true;
    case ID_SHOW_COMMENT: showCommentBox(); return true;
    case ID_WALLPAPER_CENTRE:
    case ID_WALLPAPER_WHOLE: makeWallpaper(id); return true;
    case ID_LAST_PAGE: lastPage(); return true;
    case ID_STOP_AUTO_ADVANCE: stopAutoAdvance(); return true;
    case ID_ANY_PAGE: pickPage(); return true;
    default: return Dialog::OnCommand(id, notification, control);  // cancel closes the window
    }
}

// False leaves the system command to the default handling.
bool ViewerDialog::onSystemCommand(WPARAM wParam) {
    switch (systemCommandOf(wParam)) {
    case kSysAbout: showAboutBox(); return true;
    case kSysCentre: centreOnScreen(); return true;
    case kSysComment: showCommentBox(); return true;
    default: return false;
    }
}

void ViewerDialog::onContextMenu(LPARAM lParam) { trackContextMenu(contextMenu.popup(0), hwnd(), lParam); }

void ViewerDialog::showAboutBox() {
    AboutDialog box(hwnd());
    box.title = title;
    box.comment = comment;
    box.linkText = linkText;
    box.runModal();
}

void ViewerDialog::showCommentBox() {
    CommentDialog* box = new (std::nothrow) CommentDialog(hwnd());
    if (box == nullptr) return;
    box->title = title;
    box->comment = comment;
    box->linkText = linkText;
    box->runModal();
    delete box;
}

void ViewerDialog::pickPage() {
    FileListDialog* list = new (std::nothrow) FileListDialog(hwnd());
    if (list == nullptr) return;
    list->entryCount = entryCount;
    list->currentPage = currentPage;
    list->entries = entries.data();
    const INT_PTR result = list->runModal();
    delete list;
    const uint32_t page = pickedPage(result, entryCount);
    if (page == 0) return;
    currentPage = page;
    goToPage(currentPage);
}

void ViewerDialog::restoreEntries(int all) {
    extractEntries(all, entries, entryCount, currentPage, title, ownProgramPath(), hwnd());
}

namespace {

PictureFields pictureFieldsOf(const ShownPicture& picture) {
    PictureFields fields;
    if (!picture.hasBitmap()) return fields;
    fields.bitmapInfo = &picture.bitmapInfo;
    fields.pictureWidth = picture.pictureWidth;
    fields.pictureHeight = picture.pictureHeight;
    fields.pictureBits = picture.pixels.data();
    fields.bitmapHeight = picture.bitmapHeight();
    fields.bitmapPitch = picture.pitch();
    return fields;
}

}  // namespace

// The wallpaper of a JPEG page is the picture as shown at full size: a page reduced to fit the
// screen is read through the page road again, whole, for it.
void ViewerDialog::makeWallpaper(UINT command) {
    WallpaperSource source = wallpaperSource();
    ShownPicture whole(canvas.screenBitsPerPixel(), nullptr, canvas.halftone());
    if (canvas.reduced && source.entry != nullptr && source.entry->formatTag == FormatTag::Jpg) {
        WaitCursor wait;
        showEntry(source.entry->data.data(), source.entry->data.size(), whole);
        source.picture = pictureFieldsOf(whole);
    }
    if (command == ID_WALLPAPER_WHOLE) {
        setWallpaperWhole(source);
    } else {
        setWallpaperCentre(source);
    }
}

WallpaperSource ViewerDialog::wallpaperSource() const {
    WallpaperSource source;
    source.picture.bitmapInfo = &canvas.bitmapInfo;
    source.picture.pictureWidth = canvas.pictureWidth;
    source.picture.pictureHeight = canvas.pictureHeight;
    source.picture.pictureBits = canvas.bits();
    source.picture.bitmapHeight = static_cast<uint32_t>(canvas.bitmapInfo.header.height);
    source.picture.bitmapPitch = canvas.bitmap() != nullptr ? bitmapRowPitch(canvas.bitmap()) : 0;
    if (currentPage >= 1 && currentPage <= entries.size()) source.entry = &entries[currentPage - 1];
    source.title = title;
    source.programPath = ownProgramPath();
    source.owner = hwnd();
    return source;
}
