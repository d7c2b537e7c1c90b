// How the decoder speaks to the user: message boxes and the main window's caption.
// Texts are Shift-JIS byte strings.
#pragma once
#include <string>
#include <vector>

class JpegMessages {
public:
    virtual ~JpegMessages() = default;
    virtual void showMessage(const std::string& text) = 0;  // modal OK box on Windows
    virtual void setCaption(const std::string& text) = 0;   // main window caption
};

// Native builds and tests: records every text instead of showing it.
class RecordingJpegMessages : public JpegMessages {
public:
    std::vector<std::string> messages;
    std::vector<std::string> captions;
    void showMessage(const std::string& t) override;
    void setCaption(const std::string& t) override;
};

// Where no one is to see them: every text dropped.
class DroppedJpegMessages : public JpegMessages {
public:
    void showMessage(const std::string&) override {}
    void setCaption(const std::string&) override {}
};

// Passes texts on to `to` but for the first `messages` messages and `captions` captions: those
// a first attempt at the same decode has shown already.
class LaterJpegMessages : public JpegMessages {
public:
    LaterJpegMessages(JpegMessages& to, size_t messages, size_t captions)
        : to_(to), skipMessages_(messages), skipCaptions_(captions) {}
    void showMessage(const std::string& t) override;
    void setCaption(const std::string& t) override;

private:
    JpegMessages& to_;
    size_t skipMessages_, skipCaptions_;
};

// The decoder's own texts.
namespace jpeg_text {
extern const char* const kCannotShow;      // "このファイルは表示出来ません。"
extern const char* const kUnsupported;     // "この画像ファイルには対応していません。"
extern const char* const kArithmetic;      // "Can not draw:M_DAC"
extern const char* const kProgressive;     // "Progressive復号中..."
}  // namespace jpeg_text
