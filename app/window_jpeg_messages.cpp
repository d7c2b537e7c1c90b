// Decoder messages on the screen.
#include "window_jpeg_messages.h"

#include "message_box.h"
#include "text.h"

void WindowJpegMessages::showMessage(const std::string& text) { ::showMessage(window_, text); }

void WindowJpegMessages::setCaption(const std::string& text) { SetWindowTextW(window_, toWide(text).c_str()); }
