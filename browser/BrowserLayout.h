// The browser window's resize arithmetic, in twips.
#pragma once

#include <optional>

namespace pixdock::browser {

// Laid-out positions of the browser window's controls (twips).
namespace layout {
inline constexpr int ClientWidth = 6540;
inline constexpr int ClientHeight = 5070;
inline constexpr int ToolbarHeight = 540;
inline constexpr int StripTop = 540;
inline constexpr int StripHeight = 675;
inline constexpr int LabelLeft = 45;
inline constexpr int LabelTop = 60;
inline constexpr int LabelWidth = 3075;
inline constexpr int LabelHeight = 255;
inline constexpr int AddressLeft = 50;
inline constexpr int AddressHeight = 315;
inline constexpr int BrowserLeft = 50;
inline constexpr int BrowserTop = 1215;
} // namespace layout

// New sizes for a client area of W by H twips. A size that would be negative (a very small
// window) is absent: that control keeps the size it has.
struct BrowserSizes
{
    std::optional<int> addressWidth;
    std::optional<int> browserWidth;
    std::optional<int> browserHeight;
};

BrowserSizes browserSizes(int clientWidth, int clientHeight);

// Top of the address box: just under the label.
constexpr int addressTop() { return layout::LabelTop + layout::LabelHeight + 15; }

} // namespace pixdock::browser
