#pragma once
// Where the icon of the minimised dialog is painted: centred in the client area,
// with the halves rounded up as signed integers.

struct IconOrigin {
    int x;
    int y;
};

IconOrigin MinimizedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);
