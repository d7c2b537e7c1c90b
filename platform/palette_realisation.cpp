// Foreground and background realisation of a window's palette.
#include "palette_realisation.h"

#include "palette.h"

HPALETTE PaletteCalls::select(HDC dc, HPALETTE palette, bool background) {
    return SelectPalette(dc, palette, background ? TRUE : FALSE);
}

UINT PaletteCalls::realize(HDC dc) { return RealizePalette(dc); }

void PaletteCalls::invalidate(HWND window) { InvalidateRect(window, nullptr, TRUE); }

PaletteCalls& systemPaletteCalls() {
    static PaletteCalls calls;
    return calls;
}

int realizeWindowPalette(HWND window, HPALETTE palette, bool background, PaletteCalls& calls) {
    UINT changed = 0;
    {
        WindowDc dc(window);
        if (dc.handle() == nullptr) return 0;
        HPALETTE previous = calls.select(dc.handle(), palette, background);
        changed = calls.realize(dc.handle());
        if (previous != nullptr) calls.select(dc.handle(), previous, true);
    }
    if (changed == 0 || changed == GDI_ERROR) return 0;
    calls.invalidate(window);
    return 1;
}

bool paletteChangeConcerns(HWND window, HWND focusWindow) {
    if (focusWindow == window) return false;
    return focusWindow == nullptr || !IsChild(window, focusWindow);
}
