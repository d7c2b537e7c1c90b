// Counts the files matching a pattern in a folder every few milliseconds on its own thread,
// remembering the largest count seen: temporary files that live only for a moment are caught.
#pragma once
#include <atomic>
#include <string>
#include <thread>

class TempFolderWatch {
public:
    TempFolderWatch(const std::wstring& folder, const std::wstring& pattern);
    ~TempFolderWatch();
    TempFolderWatch(const TempFolderWatch&) = delete;
    TempFolderWatch& operator=(const TempFolderWatch&) = delete;

    int maximum() const { return maximum_; }
    // Counts now, on the caller's thread.
    int count() const;
    // Waits until the count is `wanted`; false on timeout.
    bool waitForCount(int wanted, unsigned timeoutMs) const;

private:
    void poll();

    std::wstring pattern_;
    std::atomic<int> maximum_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Number of files matching a full path pattern (wildcards allowed).
int countFiles(const std::wstring& pattern);
// Waits until no file matches the pattern; false on timeout.
bool waitForNoFiles(const std::wstring& pattern, unsigned timeoutMs);
