#pragma once
// The arithmetic of drag scrolling: where a drag may happen and how far a move scrolls.
#include <cstdint>

#include "ScreenRect.h"

// The strip along the right and bottom edges of the content window that belongs to its
// scroll bars, in pixels: a drag never starts or continues there.
constexpr std::int32_t kScrollBarMargin = 30;

// Whether the screen point lies left of the window's right edge and above its bottom
// edge by at least the margin. Compares with the edges, not with width and height, so a
// window away from the screen's top-left corner (below the toolbars) keeps its whole page.
bool IsWithinDragExtent(const ScreenRect& window, std::int32_t x, std::int32_t y);

// The client point of a mouse message: x the low 16 bits of lParam, y the next 16 bits,
// each a signed 16-bit number.
struct ClientPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
ClientPoint ClientPointFromLParam(std::uint64_t lParam);

// One move of a drag from the last recorded point to (x, y). 0 in either coordinate of
// the last point means there is none, so the move only records its point.
struct DragStep {
    bool scroll = false;
    std::int32_t dx = 0;  // half the finger's travel, against its direction
    std::int32_t dy = 0;
};
DragStep NextDragStep(std::int32_t lastX, std::int32_t lastY, std::int32_t x, std::int32_t y);

// A drag of one tab thread: each thread tracks its own, so a press in one tab never
// makes moves in another scroll.
struct DragState {
    bool dragging = false;
    std::int32_t lastX = 0;  // 0: no previous drag point
    std::int32_t lastY = 0;
};
