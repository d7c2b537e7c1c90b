// The page a file list dialog's result carries.
#pragma once
#include <cstdint>

#include <windows.h>

// Row i comes back as i + 10, so the page is result - 9. Results below 10 (OK, cancel, "閉じる",
// a dialog that could not run) and pages beyond `entryCount` give 0: no page.
uint32_t pickedPage(INT_PTR result, uint32_t entryCount);
