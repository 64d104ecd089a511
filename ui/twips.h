#pragma once
// The window is laid out in twips (1/1440 inch), as its controls were designed. Converting at 15
// twips a pixel gives Qt device-independent pixels, so Qt's own scaling serves high-DPI screens.

#include <QRect>

namespace moshitong {

inline constexpr int kTwipsPerPixel = 15;

// Rounded to the nearest pixel: a Top of 430 twips is 28.67 pixels and lands on 29.
constexpr int twipsToPixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// Mouse positions go to the handlers in twips, fractional pixels included.
constexpr double pixelsToTwips(double pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

static_assert(twipsToPixels(5340) == 356 && twipsToPixels(3540) == 236);
static_assert(twipsToPixels(430) == 29 && twipsToPixels(4575) == 305);

}  // namespace moshitong
