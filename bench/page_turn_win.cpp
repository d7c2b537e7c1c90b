// Page turns of the real viewer under Wine, timed from the command to the painted page: the
// book is started, then its "next page" and "first page" commands alternate, and each turn is
// over when the viewer has taken a marker posted behind the command (it paints the new page
// before it returns from the command). Not a test: run by scripts/page-turn-bench.sh.
// Usage: page_turn_win.exe BOOK.exe [TURNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "in_process_probe.h"
#include "viewer_process.h"
#include "window_pixels.h"

namespace {

const UINT kNext = 32777, kFirstPage = 32787;
const DWORD kTimeoutMs = 60000;

double now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: page_turn_win.exe BOOK.exe [TURNS]\n");
        return 2;
    }
    const int turns = argc > 2 ? std::max(2, _wtoi(argv[2])) : 9;
    ViewerProcess viewer;
    if (!viewer.start({argv[1], L"", L""})) return 1;
    HWND window = viewer.waitForMainWindow(kTimeoutMs);
    if (window == nullptr || waitForPostedMessages(window, kTimeoutMs) != 1) {
        std::fprintf(stderr, "the viewer did not show its window\n");
        return 1;
    }
    Sleep(500);  // the deferred read of the other pages
    waitForPostedMessages(window, kTimeoutMs);
    std::vector<double> times;
    for (int i = 0; i < turns; ++i) {
        const double start = now();
        PostMessageW(window, WM_COMMAND, i % 2 == 0 ? kNext : kFirstPage, 0);
        if (waitForPostedMessages(window, kTimeoutMs) != 1) return 1;
        times.push_back(now() - start);
    }
    const SIZE client = clientSize(window);
    std::sort(times.begin(), times.end());
    std::printf("client %ld x %ld: median %.0f ms, fastest %.0f ms over %d turns\n", client.cx, client.cy,
                times[times.size() / 2], times.front(), turns);
    PostMessageW(window, WM_CLOSE, 0, 0);
    viewer.waitForExit(kTimeoutMs);
    return 0;
}
