#pragma once
// The zoom sliders' range and the defaults their Default buttons restore.
#include "Settings.h"

inline constexpr int kZoomSliderLow = kZoomBoundLowest;
inline constexpr int kZoomSliderHigh = kZoomBoundHighest;
inline constexpr int kDefaultMinZoom = 100;
inline constexpr int kDefaultMaxZoom = 300;

// The minimum must lie strictly below the maximum; equal values are refused.
bool IsZoomRangeValid(int minZoom, int maxZoom);
