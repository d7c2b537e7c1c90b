// The caption rule of the main window and the auto-advance interval.
#pragma once
#include <cstdint>
#include <string>

// "page/count title", and while counting down " seconds秒" after it (Shift-JIS; numbers by
// `formatNumber`).
std::string captionText(uint32_t currentPage, uint32_t entryCount, const std::string& title, bool withCountdown,
                        uint32_t secondsLeft);

// The largest interval whose milliseconds fit the 32-bit `intervalMs`.
constexpr int32_t kLongestIntervalSeconds = 2147483;

// `intervalSeconds` as milliseconds: below 1 stays as it is (auto-advance off); above
// kLongestIntervalSeconds it is cut to that, so the timer still fires and never overflows.
int32_t intervalMilliseconds(int32_t intervalSeconds);
