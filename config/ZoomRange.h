#pragma once
// The zoom sliders' range and the defaults their Default buttons restore.

inline constexpr int kZoomSliderLow = 100;
inline constexpr int kZoomSliderHigh = 500;
inline constexpr int kDefaultMinZoom = 100;
inline constexpr int kDefaultMaxZoom = 300;

// The minimum must lie strictly below the maximum; equal values are refused.
bool IsZoomRangeValid(int minZoom, int maxZoom);
