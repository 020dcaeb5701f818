// The pages the browser ships inside the program, so it works without a network.
#pragma once

#include <QString>
#include <QUrl>

class QPalette;

namespace pixdock::browser {

// Pixdock's home page: where a new browser window starts and where "Home" goes.
QUrl homePageUrl();
// The search page "Search" opens: the manual's topics and a web search form.
QUrl searchPageUrl();

// A script for the web view that draws the shipped pages (qrc: addresses) in the colours of
// `palette`, so that they follow the desktop theme, light or dark. Other pages are left alone.
QString themeScript(const QPalette &palette);

} // namespace pixdock::browser
