#include "dropped_book.h"

#include "commands.h"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Enough for any folder a person fills by hand; the search ends there.
constexpr unsigned kMaxBookNumber = 9999;

int fail(const std::string& message) {
    std::cerr << "edamiru-book: " << message << "\n";
    return 1;
}

}  // namespace

BookPlace droppedBookPlace(const std::string& firstInput) {
    std::error_code ignored;
    fs::path path = fs::absolute(fs::u8path(firstInput), ignored).lexically_normal();
    if (!path.has_filename()) path = path.parent_path();  // "pictures/" names the folder "pictures"
    // A folder and a picture alike: the book goes where they are. A root is its own parent.
    const fs::path titled = fs::is_directory(path, ignored) ? path : path.parent_path();
    BookPlace place{path.parent_path().u8string(), titled.filename().u8string()};
    if (place.title.empty()) place.title = "book";
    return place;
}

std::string numberedBookName(const std::string& name, unsigned number) {
    if (number <= 1) return name + ".exe";
    return name + " (" + std::to_string(number) + ").exe";
}

std::string freeBookPath(const std::string& folder, const std::string& name) {
    for (unsigned number = 1; number <= kMaxBookNumber; ++number) {
        const fs::path path = fs::u8path(folder) / fs::u8path(numberedBookName(name, number));
        std::error_code code;
        const fs::file_status status = fs::symlink_status(path, code);
        if (status.type() == fs::file_type::not_found) return path.u8string();
    }
    return std::string();
}

bool namesExistingPath(const std::string& arg) {
    std::error_code ignored;
    return !arg.empty() && fs::exists(fs::u8path(arg), ignored);
}

int dropCommand(const std::vector<std::string>& inputs, const std::string& viewerPath) {
    for (const std::string& input : inputs) {
        if (input.compare(0, 2, "--") == 0)
            return fail("options need a command (edamiru-book make ...), not dropped paths: " + input);
    }
    std::error_code ignored;
    if (viewerPath.empty())
        return fail("cannot find the folder the tool itself is in, to take the viewer from");
    if (!fs::is_regular_file(fs::u8path(viewerPath), ignored))
        return fail("no viewer " + viewerPath + ": edamiru.exe must be in the same folder as the tool");
    const BookPlace place = droppedBookPlace(inputs.front());
    const std::string out = freeBookPath(place.folder, place.title);
    if (out.empty())
        return fail("no free name for " + numberedBookName(place.title, 1) + " in " + place.folder);

    std::vector<std::string> args{"make", "--viewer", viewerPath, "--out", out, "--title", place.title};
    args.insert(args.end(), inputs.begin(), inputs.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    return makeCommand(int(args.size()), argv.data());
}
