// Addresses of the shipped pages (compiled into the program as resources).
#include "BrowserPages.h"

namespace pixdock::browser {

QUrl homePageUrl() { return QUrl(QStringLiteral("qrc:/web/home.html")); }
QUrl searchPageUrl() { return QUrl(QStringLiteral("qrc:/web/search.html")); }

} // namespace pixdock::browser
