#pragma once
// Where the preview goes at a pinch start: over the tab's content window, from its
// top-left corner to the right edge of the tab's shell window and the content window's
// bottom, in screen coordinates.
#include <cstdint>

#include "ScreenRect.h"

struct PreviewPlacement {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
};

// shell: the shell window's rectangle S; content: the content window's rectangle R.
// Position (R.left, R.top), width S.right - R.left, height R.bottom - R.top.
inline PreviewPlacement PlaceOverContent(const ScreenRect& shell, const ScreenRect& content) {
    return {content.left, content.top, shell.right - content.left, content.bottom - content.top};
}
