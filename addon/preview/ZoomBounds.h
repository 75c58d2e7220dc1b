#pragma once
// The pinch's zoom bounds from the settings as read. The settings program shows each
// bound on a slider from 100 to 500 %, and a slider cannot show anything else: the add-on
// takes each bound as its slider shows it, so that the two deliverables agree and a
// pinch never asks the tab for a zoom outside 100 to 500 % (a missing setting reads 0).
#include "Settings.h"

struct ZoomBounds {
    int minZoom;
    int maxZoom;
};

// Each bound clamped to 100..500; an inverted pair is put in order (min <= max).
ZoomBounds SaneZoomBounds(int minZoomRead, int maxZoomRead);
