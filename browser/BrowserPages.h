// The pages the browser ships inside the program, so it works without a network.
#pragma once

#include <QUrl>

namespace pixdock::browser {

// Pixdock's home page: where a new browser window starts and where "Home" goes.
QUrl homePageUrl();
// The search page "Search" opens: the manual's topics and a web search form.
QUrl searchPageUrl();

} // namespace pixdock::browser
