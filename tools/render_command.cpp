// edamiru-book render: decodes a picture file, or a page of a book, as the viewer does on a screen
// of 24 or 8 bits per pixel, and writes the picture as shown as a BMP file (the wallpaper layout).
#include <iostream>

#include "arguments.h"
#include "commands.h"
#include "file_bytes.h"
#include "image/shown_picture.h"
#include "image/show_entry.h"
#include "jpeg_messages.h"
#include "render_source.h"
#include "text_encoding.h"

namespace {

int fail(const std::string& message, int status = 1) {
    std::cerr << "edamiru-book render: " << message << "\n";
    return status;
}

// The decoder's message boxes, printed in UTF-8; the caption is of no use here.
class PrintedJpegMessages : public JpegMessages {
public:
    void showMessage(const std::string& text) override {
        std::string shown;
        shiftJisToUtf8(text, shown);
        std::cerr << "message: " << shown << "\n";
    }
    void setCaption(const std::string&) override {}
};

struct RenderOptions {
    std::string input, output;
    uint32_t page = 0;  // 0: the file itself, or page 1 of a book
    int screenDepth = 24;
};

// Fills `options`; returns an empty string, or why the command line cannot be understood.
std::string readOptions(int argc, char** argv, RenderOptions& options) {
    Arguments args = parseArguments(argc, argv, {"--page", "--screen-depth"}, {});
    if (!args.error.empty()) return args.error;
    if (args.positional.size() != 2) return "an input file and OUT.bmp are needed";
    options.input = args.positional[0];
    options.output = args.positional[1];
    if (args.has("--page") && !parsePage(args.values["--page"], options.page)) {
        return "--page needs a page number from 1, not \"" + args.values["--page"] + "\"";
    }
    if (args.has("--screen-depth")) {
        const std::string& depth = args.values["--screen-depth"];
        if (depth != "24" && depth != "8") return "--screen-depth is 24 or 8, not \"" + depth + "\"";
        options.screenDepth = depth == "8" ? 8 : 24;
    }
    return "";
}

}  // namespace

int renderCommand(int argc, char** argv) {
    RenderOptions options;
    const std::string usage = readOptions(argc, argv, options);
    if (!usage.empty()) return fail(usage + "\nusage: edamiru-book render INPUT OUT.bmp [--page N] [--screen-depth 24|8]", 2);

    RenderSource source;
    std::string error;
    if (!readRenderSource(options.input, options.page, source, error)) return fail(error);

    PrintedJpegMessages messages;
    ShownPicture picture(options.screenDepth, &messages);
    if (showEntry(source.bytes.data(), source.bytes.size(), picture) != 1) {
        return fail("no picture is shown for " + source.description + " on a " +
                    std::to_string(options.screenDepth) + "-bit screen");
    }
    std::vector<uint8_t> file;
    if (!pictureFileBytes(picture, file)) return fail("the picture of " + source.description + " cannot be written");
    if (!writeFileBytes(options.output, {&file}, error)) return fail(error);
    std::cout << "wrote " << options.output << " (" << picture.pictureWidth << " x " << picture.pictureHeight << ", "
              << picture.bitmapInfo.header.bitCount << " bits per pixel)\n";
    return 0;
}
