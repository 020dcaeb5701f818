// The browser window's resize arithmetic.
#include "BrowserLayout.h"

namespace pixdock::browser {

namespace {
std::optional<int> unlessNegative(int value)
{
    return value >= 0 ? std::optional<int>(value) : std::nullopt;
}
} // namespace

BrowserSizes browserSizes(int clientWidth, int clientHeight)
{
    BrowserSizes sizes;
    sizes.addressWidth = unlessNegative(clientWidth - 100);
    sizes.browserWidth = unlessNegative(clientWidth - 100);
    sizes.browserHeight =
        unlessNegative(clientHeight - (layout::StripTop + layout::StripHeight) - 100);
    return sizes;
}

} // namespace pixdock::browser
