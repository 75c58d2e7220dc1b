#include "ZoomBounds.h"

#include <algorithm>

ZoomBounds SaneZoomBounds(int minZoomRead, int maxZoomRead) {
    int low = std::clamp(minZoomRead, kLowestZoomBound, kHighestZoomBound);
    int high = std::clamp(maxZoomRead, kLowestZoomBound, kHighestZoomBound);
    return {std::min(low, high), std::max(low, high)};
}
