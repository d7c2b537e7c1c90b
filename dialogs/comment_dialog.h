// `CommentDialog`: the collection's comment and link text (template 133, "画像作者からのコメント").
#pragma once
#include <string>

#include "dialog.h"

class CommentDialog : public Dialog {
public:
    explicit CommentDialog(HWND parent = nullptr);

    std::string title, comment, linkText;  // Shift-JIS, set by the caller; the title is not shown

protected:
    BOOL OnInitDialog() override;
};
