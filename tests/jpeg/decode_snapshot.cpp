// Prints one line per input file: what the decoder makes of it as the viewer runs it, with
// the helper thread in its eager test mode and without it (result, frame size, SHA-256 of the
// bitmap). Two builds' outputs compared line by line show whether a change kept every byte,
// also for damaged and fuzzed inputs that the corpus tests do not cover.
// Usage: jpeg_decode_snapshot FILE...   (not a test; run by hand before and after a change)
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "jpeg_helper_thread.h"
#include "viewer_decode.h"

namespace {

std::string describe(const ViewerPicture& p) {
    if (!p.probed) return "not-probed";
    return std::to_string(p.decodeResult) + " " + std::to_string(p.shownWidth) + "x" + std::to_string(p.shownHeight) +
           " " + p.shownHash().substr(0, 16) + " " + std::to_string(p.bitmap.size());
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string line = describe(decodeAsViewer(file));
        HelperThread::SetEager(true);
        line += " | " + describe(decodeAsViewer(file));
        HelperThread::SetEager(false);
        HelperThread::SetEnabled(false);
        line += " | " + describe(decodeAsViewer(file));
        HelperThread::SetEnabled(true);
        std::printf("%s\t%s\n", argv[i], line.c_str());
    }
    return 0;
}
