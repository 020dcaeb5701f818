// The help window's page view: a text browser that reads qthelp:// pages from the help engine.
#pragma once

#include <QTextBrowser>

class QHelpEngineCore;

namespace pixdock::help {

class HelpBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    HelpBrowser(QHelpEngineCore *engine, QWidget *parent = nullptr);

    QVariant loadResource(int type, const QUrl &name) override;

private:
    QHelpEngineCore *m_engine;
};

} // namespace pixdock::help
