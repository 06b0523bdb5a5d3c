#pragma once

#include <QPoint>
#include <QRect>

namespace scanvale {

// The window is designed in twips (1/1440 inch); 15 twips make one device-independent pixel.
inline constexpr int TwipsPerPixel = 15;

// Twips to the nearest whole pixel (a 2000-twip width becomes 133 pixels).
constexpr int Px(int twips) {
    const int half = TwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / TwipsPerPixel : -((-twips + half) / TwipsPerPixel);
}

constexpr QRect PxRect(int left, int top, int width, int height) {
    return {Px(left), Px(top), Px(width), Px(height)};
}

} // namespace scanvale
