#include "viewer_beside_tool.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
// Long paths need more than MAX_PATH; the buffer grows until the name fits.
fs::path toolPath() {
    for (DWORD size = MAX_PATH; size <= 65536; size *= 2) {
        std::wstring name(size, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, &name[0], size);
        if (length == 0) return fs::path();
        if (length < size) {
            name.resize(length);
            return fs::path(name);
        }
    }
    return fs::path();
}
#else
fs::path toolPath() {
    std::error_code ignored;
    return fs::read_symlink("/proc/self/exe", ignored);
}
#endif

}  // namespace

std::string viewerBesideTool() {
    const fs::path tool = toolPath();
    if (!tool.has_parent_path()) return std::string();
    return (tool.parent_path() / "edamiru.exe").u8string();
}
