// Caption text and interval conversion.
#include "caption_text.h"

#include "collection.h"

std::string captionText(uint32_t currentPage, uint32_t entryCount, const std::string& title, bool withCountdown,
                        uint32_t secondsLeft) {
    std::string text = formatNumber(currentPage) + "/" + formatNumber(entryCount) + " " + title;
    if (withCountdown) text += " " + formatNumber(secondsLeft) + "秒";
    return text;
}

int32_t intervalMilliseconds(int32_t intervalSeconds) {
    if (intervalSeconds < 1) return intervalSeconds;
    if (intervalSeconds > kLongestIntervalSeconds) intervalSeconds = kLongestIntervalSeconds;
    return intervalSeconds * 1000;
}
