// Pages, style sheets and pictures of the manual come out of the compressed help file.
#include "HelpBrowser.h"

#include <QHelpEngineCore>

namespace pixdock::help {

HelpBrowser::HelpBrowser(QHelpEngineCore *engine, QWidget *parent)
    : QTextBrowser(parent)
    , m_engine(engine)
{
    setOpenExternalLinks(true);
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    if (name.scheme() == QLatin1String("qthelp"))
        return m_engine->fileData(name);
    return QTextBrowser::loadResource(type, name);
}

} // namespace pixdock::help
