// A report-view list control of a dialog: columns, rows with sub-item texts, the selection.
// Texts are Shift-JIS; the control gets them as UTF-16.
#pragma once
#include <string>

#include <windows.h>

class ListView {
public:
    void attach(HWND control) { control_ = control; }
    HWND handle() const { return control_; }

    // Appends a column with a right-aligned format (the control keeps column 0 left-aligned).
    bool insertRightAlignedColumn(int column, const std::string& heading, int width);
    // Inserts a row at `row` with `text` in column 0; returns its index or -1.
    int insertRow(int row, const std::string& text);
    bool setText(int row, int column, const std::string& text);
    // Scrolls `row` into view; a partly visible row is enough.
    void ensureVisible(int row);
    // Sets the selected state of `row` only (not the focus).
    void select(int row);
    // The first selected row, or -1.
    int firstSelected() const;
    int rowCount() const;

private:
    HWND control_ = nullptr;
};
