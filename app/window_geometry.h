// Where the main window goes when it is fitted to a picture or centred on the screen.
// Pure arithmetic over rectangles; all divisions drop the fraction.
#pragma once
#include <cstdint>

#include <windows.h>

// `fitWindowToPicture`: the window rectangle whose client area is pictureWidth x pictureHeight,
// with the window's centre where it was. Sizes too large for the screen's coordinates are cut.
RECT fittedWindowRect(const RECT& window, const RECT& client, uint32_t pictureWidth, uint32_t pictureHeight);

// First move of `centreOnScreen`: a window of only its frame (client area empty), placed so that
// a client area grown around its centre is centred on the screen.
RECT frameOnlyCentredRect(const RECT& window, const RECT& client, int screenWidth, int screenHeight,
                          int dialogFrameHeight);

// Second move of `centreOnScreen`: the frame measured again (window1, client1) around the
// client size of before (client0), about the centre of window1.
RECT regrownWindowRect(const RECT& window1, const RECT& client1, const RECT& client0);

// `r` moved (not resized) into `area` as far as it fits: its right and bottom edges first, then
// its left and top edges, so that the title bar and the menu bar stay reachable.
RECT keptInside(const RECT& r, const RECT& area);
