#include "ZoomRange.h"

bool IsZoomRangeValid(int minZoom, int maxZoom) { return minZoom < maxZoom; }
