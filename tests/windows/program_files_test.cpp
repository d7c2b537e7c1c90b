// The programs as built: the manifest Windows reads when it starts them, their version resource
// and the large-address flag of their file header.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "edamiru_version.h"

namespace {

// A Linux path of the build, as Wine names it (the Linux root is drive Z:).
std::wstring windowsPath(const std::string& linuxPath) {
    std::wstring path = L"Z:";
    for (char c : linuxPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

// The manifest resource (type 24, id 1) of a program file; "" when it has none.
std::string manifestOf(const std::wstring& path) {
    HMODULE file = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (file == nullptr) return "";
    std::string text;
    HRSRC found = FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    HGLOBAL loaded = found != nullptr ? LoadResource(file, found) : nullptr;
    const char* bytes = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (bytes != nullptr) text.assign(bytes, SizeofResource(file, found));
    FreeLibrary(file);
    return text;
}

// The Characteristics of the file's COFF header; 0 when the file is no PE program.
WORD characteristicsOf(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    unsigned char head[4096] = {};
    DWORD got = 0;
    ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    if (got < 0x40) return 0;
    const DWORD pe = head[0x3C] | head[0x3D] << 8 | head[0x3E] << 16 | static_cast<DWORD>(head[0x3F]) << 24;
    if (pe > got - 24 || std::string(reinterpret_cast<char*>(head + pe), 4) != std::string("PE\0\0", 4)) return 0;
    return static_cast<WORD>(head[pe + 22] | head[pe + 23] << 8);
}

// The file version of the version resource (major << 16 | minor, patch << 16 | build); 0 when none.
ULONGLONG fileVersionOf(const std::wstring& path) {
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (block.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) || size < sizeof *fixed) {
        return 0;
    }
    return static_cast<ULONGLONG>(fixed->dwFileVersionMS) << 32 | fixed->dwFileVersionLS;
}

const char* const kSupportedOs[] = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
};

TEST(ProgramFiles, ManifestVersionAndLargeAddressFlag) {
    const struct {
        std::string file;
        std::vector<std::string> present;
    } programs[] = {
        {EDAMIRU_VIEWER_FILE,
         {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"}},
        {EDAMIRU_TOOL_FILE, {}},
    };
    const ULONGLONG version = static_cast<ULONGLONG>(EDAMIRU_VERSION_MAJOR) << 48 |
                              static_cast<ULONGLONG>(EDAMIRU_VERSION_MINOR) << 32 |
                              static_cast<ULONGLONG>(EDAMIRU_VERSION_PATCH) << 16;
    for (const auto& program : programs) {
        SCOPED_TRACE(program.file);
        const std::wstring path = windowsPath(program.file);
        const std::string manifest = manifestOf(path);
        ASSERT_FALSE(manifest.empty());
        std::vector<std::string> present = program.present;
        present.push_back("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>");
        for (const char* id : kSupportedOs) present.push_back(std::string("<supportedOS Id=\"") + id + "\"/>");
        for (const std::string& text : present) EXPECT_NE(manifest.find(text), std::string::npos) << text;
        // The program converts its texts itself; a code page from the manifest would change the
        // ANSI functions under it.
        EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);
        EXPECT_EQ(characteristicsOf(path) & IMAGE_FILE_LARGE_ADDRESS_AWARE, IMAGE_FILE_LARGE_ADDRESS_AWARE);
        EXPECT_EQ(fileVersionOf(path), version);
    }
}

}  // namespace
