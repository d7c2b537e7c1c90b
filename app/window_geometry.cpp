// Window rectangles for fitting and centring.
#include "window_geometry.h"

namespace {

// Larger than any screen, small enough that adding a frame cannot overflow.
const int64_t kLargestSize = 0x3FFFFFFF;

int32_t width(const RECT& r) { return r.right - r.left; }
int32_t height(const RECT& r) { return r.bottom - r.top; }

int32_t cut(int64_t size) { return static_cast<int32_t>(size > kLargestSize ? kLargestSize : size); }

// A rectangle of the given size about the centre of `around`.
RECT aboutCentre(const RECT& around, int32_t newWidth, int32_t newHeight) {
    RECT r;
    r.left = around.left + width(around) / 2 - newWidth / 2;
    r.top = around.top + height(around) / 2 - newHeight / 2;
    r.right = r.left + newWidth;
    r.bottom = r.top + newHeight;
    return r;
}

}  // namespace

RECT fittedWindowRect(const RECT& window, const RECT& client, uint32_t pictureWidth, uint32_t pictureHeight) {
    int32_t newWidth = cut(int64_t(pictureWidth) + (width(window) - width(client)));
    int32_t newHeight = cut(int64_t(pictureHeight) + (height(window) - height(client)));
    return aboutCentre(window, newWidth, newHeight);
}

RECT frameOnlyCentredRect(const RECT& window, const RECT& client, int screenWidth, int screenHeight,
                          int dialogFrameHeight) {
    int32_t frameWidth = width(window) - width(client);
    int32_t frameHeight = height(window) - height(client);
    RECT r;
    r.left = (screenWidth - frameWidth) / 2;
    r.top = screenHeight / 2 + dialogFrameHeight - frameHeight;
    r.right = r.left + frameWidth;
    r.bottom = r.top + frameHeight;
    return r;
}

RECT regrownWindowRect(const RECT& window1, const RECT& client1, const RECT& client0) {
    int32_t newWidth = (width(window1) - width(client1)) + width(client0);
    int32_t newHeight = (height(window1) - height(client1)) + height(client0);
    return aboutCentre(window1, newWidth, newHeight);
}

RECT keptInside(const RECT& r, const RECT& area) {
    int32_t dx = 0, dy = 0;
    if (r.right > area.right) dx = area.right - r.right;
    if (r.left + dx < area.left) dx = area.left - r.left;
    if (r.bottom > area.bottom) dy = area.bottom - r.bottom;
    if (r.top + dy < area.top) dy = area.top - r.top;
    RECT moved = r;
    OffsetRect(&moved, dx, dy);
    return moved;
}
