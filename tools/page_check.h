// Whether the viewer shows a picture file right: the file through the viewer's own page road at
// 24 and 8 bits, and the header features that road would show in wrong colours or sideways.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

enum class PageVerdict {
    Shows,        // shown whole and right at both depths
    NotShown,     // the viewer shows nothing (or a black picture)
    PartlyShown,  // the viewer shows part of it, or stops with a message
    ShownWrong,   // shown, but in wrong colours or turned
};

struct PageCheck {
    PageVerdict verdict = PageVerdict::Shows;
    std::string reason;  // English, for the tool's messages; empty when it shows
};

PageCheck checkPage(const uint8_t* data, size_t size);

// The name of the picture format the first bytes give ("PNG", "GIF", "WebP", …), or "" when
// they name none that is known here.
std::string pictureFormatName(const uint8_t* data, size_t size);
