#pragma once
// A rectangle in screen coordinates (left and top inside, right and bottom outside), as
// the page capture and the drag hit test read it from a window.
#include <cstdint>

struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const ScreenRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};
