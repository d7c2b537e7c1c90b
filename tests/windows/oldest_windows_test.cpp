// Both programs start on Windows 7: every DLL they import is one Windows 7 has, and no imported
// function first appeared in Windows 8 or later. Also, the header checksum the linker wrote is
// the one make computes after dropping a signature.
#include "pe_checksum.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The DLLs of Windows 7 that the programs may import. A new one fails the test until it is
// checked and added.
const char* const kWindows7Dlls[] = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",
                                     "kernel32.dll", "msvcrt.dll",   "ole32.dll",    "oleaut32.dll",
                                     "shell32.dll",  "shlwapi.dll",  "user32.dll",   "version.dll"};

// Functions that a mingw-w64 program might import and that Windows 7 lacks (minimum client
// Windows 8, 8.1 or 10).
const char* const kNewerFunctions[] = {
    "GetSystemTimePreciseAsFileTime", "CreateFile2", "GetCurrentThreadStackLimits", "PrefetchVirtualMemory",
    "WaitOnAddress", "WakeByAddressSingle", "WakeByAddressAll", "GetCurrentPackageId", "GetPackageFamilyName",
    "GetCurrentPackageFamilyName", "GetCurrentPackageFullName", "SetThreadDescription", "GetThreadDescription",
    "SetProcessDpiAwareness", "GetDpiForMonitor", "GetDpiForWindow", "GetDpiForSystem",
    "SetThreadDpiAwarenessContext", "SetProcessDpiAwarenessContext", "GetSystemMetricsForDpi",
    "AdjustWindowRectExForDpi", "SystemParametersInfoForDpi", "EnableNonClientDpiScaling"};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::vector<uint8_t> programBytes(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;  // the Linux root under Wine
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Reads a 32-bit program's headers and maps addresses to file offsets, every read checked.
class ProgramFile {
public:
    explicit ProgramFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
        const IMAGE_DOS_HEADER* dos = at<IMAGE_DOS_HEADER>(0);
        if (dos == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE) return;
        nt_ = at<IMAGE_NT_HEADERS32>(uint32_t(dos->e_lfanew));
        if (nt_ == nullptr || nt_->Signature != IMAGE_NT_SIGNATURE) nt_ = nullptr;
    }

    const IMAGE_NT_HEADERS32* headers() const { return nt_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

    template <typename T>
    const T* at(uint64_t offset) const {
        if (offset > bytes_.size() || sizeof(T) > bytes_.size() - offset) return nullptr;
        return reinterpret_cast<const T*>(bytes_.data() + offset);
    }

    // File offset of a relative virtual address; 0 when no section holds it.
    uint64_t offsetOf(uint32_t rva) const {
        uint64_t table = uint64_t(reinterpret_cast<const uint8_t*>(IMAGE_FIRST_SECTION(nt_)) - bytes_.data());
        for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER* s = at<IMAGE_SECTION_HEADER>(table + i * sizeof(IMAGE_SECTION_HEADER));
            if (s == nullptr) return 0;
            if (rva >= s->VirtualAddress && rva - s->VirtualAddress < s->SizeOfRawData) {
                return uint64_t(s->PointerToRawData) + (rva - s->VirtualAddress);
            }
        }
        return 0;
    }

    // The zero-ended text at a relative virtual address; empty when it is not in the file.
    std::string text(uint32_t rva) const {
        uint64_t offset = offsetOf(rva);
        std::string out;
        for (uint64_t i = offset; offset != 0 && i < bytes_.size() && bytes_[i] != 0; ++i) out += char(bytes_[i]);
        return out;
    }

private:
    std::vector<uint8_t> bytes_;
    const IMAGE_NT_HEADERS32* nt_ = nullptr;
};

// The imported functions by name, per DLL (lower case); functions imported by ordinal are left
// out. False when the import directory cannot be read.
bool readImports(const ProgramFile& program, std::map<std::string, std::set<std::string>>& imports) {
    const IMAGE_DATA_DIRECTORY& directory =
        program.headers()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    uint64_t offset = program.offsetOf(directory.VirtualAddress);
    if (offset == 0) return false;
    for (;; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const IMAGE_IMPORT_DESCRIPTOR* dll = program.at<IMAGE_IMPORT_DESCRIPTOR>(offset);
        if (dll == nullptr) return false;
        if (dll->Name == 0) return true;
        std::set<std::string>& functions = imports[lower(program.text(dll->Name))];
        uint32_t thunks = dll->OriginalFirstThunk != 0 ? dll->OriginalFirstThunk : dll->FirstThunk;
        uint64_t thunk = program.offsetOf(thunks);
        for (;; thunk += 4) {
            const DWORD* entry = program.at<DWORD>(thunk);
            if (thunk == 0 || entry == nullptr) return false;
            if (*entry == 0) break;
            if ((*entry & IMAGE_ORDINAL_FLAG32) == 0) functions.insert(program.text(*entry + 2));  // after the hint
        }
    }
}

class OldestWindows : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(OldestWindows, ImportsOnlyWhatWindows7Has) {
    ProgramFile program(programBytes(GetParam()));
    ASSERT_NE(program.headers(), nullptr) << "cannot read " << GetParam();
    std::map<std::string, std::set<std::string>> imports;
    ASSERT_TRUE(readImports(program, imports)) << GetParam();
    ASSERT_TRUE(imports.count("kernel32.dll")) << "the import reader found no kernel32.dll";
    EXPECT_TRUE(imports["kernel32.dll"].count("CreateFileW")) << "the import reader missed CreateFileW";
    for (const auto& dll : imports) {
        EXPECT_NE(std::find(std::begin(kWindows7Dlls), std::end(kWindows7Dlls), dll.first), std::end(kWindows7Dlls))
            << GetParam() << " imports " << dll.first;
        for (const char* newer : kNewerFunctions) {
            EXPECT_EQ(dll.second.count(newer), 0u) << GetParam() << " imports " << newer << " from " << dll.first;
        }
    }
}

TEST_P(OldestWindows, ChecksumIsTheOneTheLinkerWrote) {
    ProgramFile program(programBytes(GetParam()));
    ASSERT_NE(program.headers(), nullptr) << "cannot read " << GetParam();
    uint64_t checkSumAt =
        uint64_t(reinterpret_cast<const uint8_t*>(&program.headers()->OptionalHeader.CheckSum) - program.bytes().data());
    EXPECT_EQ(peCheckSum(program.bytes().data(), program.bytes().size(), checkSumAt),
              program.headers()->OptionalHeader.CheckSum);
}

INSTANTIATE_TEST_SUITE_P(Programs, OldestWindows, ::testing::Values(EDAMIRU_VIEWER_PATH, EDAMIRU_BOOK_TOOL_PATH),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return info.index == 0 ? "Viewer" : "BookTool";
                         });
