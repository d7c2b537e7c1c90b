// Realising a window's palette and repainting when the mapping changed. The system calls go
// through `PaletteCalls` so a stand-in can replace them: under Wine, RealizePalette reports
// changed entries only on a palette's first realisation in a process.
#pragma once

#include <windows.h>

class PaletteCalls {
public:
    virtual ~PaletteCalls() = default;
    // SelectPalette: returns the palette selected before.
    virtual HPALETTE select(HDC dc, HPALETTE palette, bool background);
    // RealizePalette: the number of entries whose mapping changed (GDI_ERROR on failure).
    virtual UINT realize(HDC dc);
    // Invalidates the whole client area, with erasing.
    virtual void invalidate(HWND window);
};

// The system's own calls.
PaletteCalls& systemPaletteCalls();

// Selects `palette` into a client-area context of `window` (as a background palette when
// `background`), realises it and selects the previous palette back. When entries changed the
// client area is invalidated and 1 is returned; else 0 (a failed realisation counts as none).
int realizeWindowPalette(HWND window, HPALETTE palette, bool background, PaletteCalls& calls);

// Whether a palette change made by `focusWindow` (may be null) asks `window` to realise its
// palette again: not when the window itself or one of its children made it.
bool paletteChangeConcerns(HWND window, HWND focusWindow);
