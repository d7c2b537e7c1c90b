// WM_QUERYNEWPALETTE and WM_PALETTECHANGED: realise the picture's palette and repaint when
// the mapping changed.
#include "viewer_dialog.h"

int ViewerDialog::queryNewPalette(bool paletteChangedMessage) {
    if (!canvas.hasPalette()) return 0;
    return realizeWindowPalette(hwnd(), canvas.palette(), paletteChangedMessage, *paletteCalls);
}

void ViewerDialog::paletteChanged(HWND focusWindow) {
    if (paletteChangeConcerns(hwnd(), focusWindow)) queryNewPalette(true);
}
