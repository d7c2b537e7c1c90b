// How the JPEG decoder speaks through the main window: message boxes owned by it, and its caption.
#pragma once
#include <string>

#include <windows.h>

#include "jpeg_messages.h"

class WindowJpegMessages : public JpegMessages {
public:
    explicit WindowJpegMessages(HWND window) : window_(window) {}
    void showMessage(const std::string& text) override;
    void setCaption(const std::string& text) override;

private:
    HWND window_;
};
