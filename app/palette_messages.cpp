// WM_QUERYNEWPALETTE and WM_PALETTECHANGED: realise the picture's palette and repaint when
// the mapping changed.
#include "viewer_dialog.h"

int ViewerDialog::queryNewPalette(bool paletteChangedMessage) {
    if (paletteCreated == 0) return 0;
    return realizeWindowPalette(hwnd(), palette.handle(), paletteChangedMessage, *paletteCalls);
}

void ViewerDialog::paletteChanged(HWND focusWindow) {
    if (paletteChangeConcerns(hwnd(), focusWindow)) queryNewPalette(true);
}
