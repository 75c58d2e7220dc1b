#include "ZoomBounds.h"

#include <algorithm>

ZoomBounds SaneZoomBounds(int minZoomRead, int maxZoomRead) {
    int low = std::clamp(minZoomRead, kZoomBoundLowest, kZoomBoundHighest);
    int high = std::clamp(maxZoomRead, kZoomBoundLowest, kZoomBoundHighest);
    return {std::min(low, high), std::max(low, high)};
}
