// Addresses of the shipped pages (compiled into the program as resources).
#include "BrowserPages.h"

#include <QPalette>

namespace pixdock::browser {

QUrl homePageUrl() { return QUrl(QStringLiteral("qrc:/web/home.html")); }
QUrl searchPageUrl() { return QUrl(QStringLiteral("qrc:/web/search.html")); }

QString themeScript(const QPalette &palette)
{
    const auto colour = [&palette](QPalette::ColorRole role) { return palette.color(role).name(); };
    const bool dark = palette.color(QPalette::Base).lightness() < 128;
    const QString css = QStringLiteral(
        ":root { color-scheme: %1; } "
        "html, body { color: %2; background: %3; } "
        "h1, h2, a { color: %4; } "
        ".box { background: %5; border-color: %6; } "
        "h1, table.keys td, table.keys th, kbd { border-color: %6; }")
        .arg(dark ? QStringLiteral("dark") : QStringLiteral("light"), colour(QPalette::Text), colour(QPalette::Base),
             colour(QPalette::Link), colour(QPalette::AlternateBase), colour(QPalette::Mid));
    // Adopted as the page starts, before anything is drawn; the pages' own styles set no colours.
    return QStringLiteral("if (location.protocol === 'qrc:') {"
                          " const sheet = new CSSStyleSheet();"
                          " sheet.replaceSync('%1');"
                          " document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet]; }")
        .arg(css);
}

} // namespace pixdock::browser
