// Twips (1/1440 inch, 15 to a screen pixel): the unit of every window position and size.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cmath>

namespace pixdock::twips {

inline constexpr int PerPixel = 15;

// Rounds half away from zero, so that a twip value converts the same way in both directions.
constexpr int toPixels(int twips)
{
    return twips >= 0 ? (twips + PerPixel / 2) / PerPixel : -((-twips + PerPixel / 2) / PerPixel);
}
constexpr int fromPixels(int pixels) { return pixels * PerPixel; }

inline QSize sizeToPixels(int widthTwips, int heightTwips)
{
    return {toPixels(widthTwips), toPixels(heightTwips)};
}
inline QRect rectToPixels(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}
inline QPoint pointToPixels(int left, int top) { return {toPixels(left), toPixels(top)}; }

// Rounds to the nearest whole number, an exact half going to the even neighbour.
inline long long roundHalfEven(double value) { return std::llrint(value); }

} // namespace pixdock::twips
