#include "jpeg_messages.h"

void RecordingJpegMessages::showMessage(const std::string& t) { messages.push_back(t); }
void RecordingJpegMessages::setCaption(const std::string& t) { captions.push_back(t); }

void LaterJpegMessages::showMessage(const std::string& t) {
    if (skipMessages_ > 0) --skipMessages_;
    else to_.showMessage(t);
}

void LaterJpegMessages::setCaption(const std::string& t) {
    if (skipCaptions_ > 0) --skipCaptions_;
    else to_.setCaption(t);
}

namespace jpeg_text {
const char* const kCannotShow = "このファイルは表示出来ません。";
const char* const kUnsupported = "この画像ファイルには対応していません。";
const char* const kArithmetic = "Can not draw:M_DAC";
const char* const kProgressive = "Progressive復号中...";
}  // namespace jpeg_text
