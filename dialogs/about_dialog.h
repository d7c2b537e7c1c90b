// `AboutDialog`: the program's name and version ("エダミル Version " and the build's version
// number) and its author (template 100). The caller hands over the collection's three texts,
// which the box does not show.
#pragma once
#include <string>

#include "dialog.h"

class AboutDialog : public Dialog {
public:
    explicit AboutDialog(HWND parent = nullptr);

    std::string title, comment, linkText;  // Shift-JIS, set by the caller

protected:
    BOOL OnInitDialog() override;
};
