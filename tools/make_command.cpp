// edamiru-book make: a copy of the viewer with a collection appended.
#include "arguments.h"
#include "collection.h"
#include "collection_writer.h"
#include "commands.h"
#include "file_bytes.h"
#include "pe_certificate.h"
#include "pe_image.h"
#include "text_encoding.h"

#include <filesystem>
#include <iostream>

namespace {

struct Setting {
    const char* option;
    uint32_t CollectionSettings::*field;
    uint32_t defaultValue;
};

const Setting kSettings[] = {
    {"--caption", &CollectionSettings::captionFlag, 1},
    {"--comment-box", &CollectionSettings::commentFlag, 0xFFFFFFFFu},
    {"--menu-bar", &CollectionSettings::menuBarFlag, 1},
    {"--mouse", &CollectionSettings::mouseMode, 1},
};

int fail(const std::string& message, int status = 1) {
    std::cerr << "edamiru-book make: " << message << "\n";
    return status;
}

bool convertText(const Arguments& args, const char* option, std::string& out, std::string& error) {
    auto it = args.values.find(option);
    if (it == args.values.end()) return true;
    if (utf8ToShiftJis(it->second, out)) return true;
    error = std::string(option) + " \"" + it->second + "\" cannot be written in Shift-JIS";
    return false;
}

bool readSettings(const Arguments& args, CollectionSettings& s, std::string& error) {
    for (const Setting& setting : kSettings) {
        s.*setting.field = setting.defaultValue;
        auto it = args.values.find(setting.option);
        if (it != args.values.end() && !parseSetting(it->second, s.*setting.field)) {
            error = std::string(setting.option) + " needs a 32-bit number, not \"" + it->second + "\"";
            return false;
        }
    }
    uint32_t interval = 0;
    auto it = args.values.find("--interval");
    if (it != args.values.end() && !parseSetting(it->second, interval)) {
        error = "--interval needs a 32-bit number, not \"" + it->second + "\"";
        return false;
    }
    s.intervalSeconds = int32_t(interval);
    return true;
}

// The viewer must be a program with nothing behind its image but its signature, which is dropped
// (and said so): the book is to be signed once finished.
bool prepareViewer(const std::string& path, std::vector<uint8_t>& viewer, std::string& error) {
    uint64_t end = 0;
    if (!peImageFileEnd(viewer.data(), viewer.size(), end)) {
        error = "not a 32-bit Windows program: " + path;
        return false;
    }
    if (end < viewer.size()) {
        if (uint32_t dropped = dropCertificateTable(viewer)) {
            std::cout << "dropped the signature of " << path << " (" << dropped
                      << " bytes): sign the finished book instead\n";
            return true;
        }
        error = path + " already carries " + std::to_string(viewer.size() - end) +
                " bytes behind its program image (is it a picture book?)";
        return false;
    }
    if (end > viewer.size()) {
        error = path + " is cut short: its headers describe " + std::to_string(end) + " bytes, the file has " +
                std::to_string(viewer.size());
        return false;
    }
    return true;
}

bool samePath(const std::string& a, const std::string& b) {
    std::error_code ignored;
    return std::filesystem::equivalent(std::filesystem::u8path(a), std::filesystem::u8path(b), ignored);
}

bool readPictures(const std::vector<std::string>& paths, std::vector<std::vector<uint8_t>>& records,
                  std::string& error) {
    for (size_t i = 0; i < paths.size(); ++i) {
        std::vector<uint8_t> picture;
        if (!readFileBytes(paths[i], picture, error)) return false;
        bool shown = pictureKind(picture.data(), picture.size()) != PictureKind::NotDisplayable;
        if (!shown) {
            std::cerr << "edamiru-book make: warning: page " << i + 1 << " (" << paths[i]
                      << ") is neither BMP nor JPEG; it is stored, but the viewer cannot show it\n";
        }
        records.emplace_back();
        if (!entryRecordBytes(picture, records.back())) {
            error = paths[i] + " is larger than 4 GiB - 1";
            return false;
        }
    }
    return true;
}

int writeBook(const std::string& out, const std::vector<uint8_t>& viewer, const std::vector<uint8_t>& header,
              const std::vector<std::vector<uint8_t>>& records) {
    std::vector<const std::vector<uint8_t>*> pieces{&viewer, &header};
    for (const std::vector<uint8_t>& record : records) pieces.push_back(&record);
    std::string error;
    if (!writeFileBytes(out, pieces, error)) {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::u8path(out), ignored);
        return fail(error);
    }
    std::cout << "wrote " << out << ": " << records.size() << (records.size() == 1 ? " page" : " pages")
              << " behind a program of " << viewer.size()
              << " bytes\n";
    return 0;
}

}  // namespace

int makeCommand(int argc, char** argv) {
    Arguments args = parseArguments(argc, argv,
                                    {"--viewer", "--out", "--title", "--comment", "--link", "--caption",
                                     "--comment-box", "--menu-bar", "--interval", "--mouse"},
                                    {});
    if (args.error.empty() && (!args.has("--viewer") || !args.has("--out"))) args.error = "--viewer and --out are needed";
    if (args.error.empty() && args.positional.empty()) args.error = "no pictures given";
    if (!args.error.empty()) return fail(args.error, 2);

    CollectionHeader header;
    std::string error;
    if (!readSettings(args, header.settings, error)) return fail(error, 2);
    if (!convertText(args, "--title", header.title, error) || !convertText(args, "--comment", header.comment, error) ||
        !convertText(args, "--link", header.linkText, error)) {
        return fail(error);
    }
    if (args.positional.size() > 0xFFFFFFFFu) return fail("too many pictures");
    header.settings.entryCount = uint32_t(args.positional.size());

    const std::string& viewerPath = args.values["--viewer"];
    const std::string& out = args.values["--out"];
    std::vector<uint8_t> viewer, headerBytes;
    std::vector<std::vector<uint8_t>> records;
    if (!readFileBytes(viewerPath, viewer, error) || !prepareViewer(viewerPath, viewer, error)) return fail(error);
    if (samePath(viewerPath, out)) return fail("--out must not be the viewer itself");
    if (!collectionHeaderBytes(header, headerBytes)) return fail("a text holds a zero byte");
    if (!readPictures(args.positional, records, error)) return fail(error);
    return writeBook(out, viewer, headerBytes, records);
}
