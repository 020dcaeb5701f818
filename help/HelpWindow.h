// The help window: the manual's table of contents and keyword index beside the page view.
#pragma once

#include <QUrl>
#include <QWidget>

class QHelpEngine;
class QLineEdit;
class QTabWidget;

namespace pixdock::help {

class HelpBrowser;

class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    // Takes over the engine, whose data must be set up already. `startPage` is the manual's
    // contents page.
    HelpWindow(QHelpEngine *engine, const QUrl &startPage, QWidget *parent = nullptr);
    ~HelpWindow() override;

    QString collectionFile() const;
    // Brings the window up at the table of contents, showing the contents page.
    void showContents();
    // Brings the window up at the keyword index with an empty filter.
    void showIndex();

private:
    QWidget *createIndexTab();
    void bringUp();
    void showPage(const QUrl &url);

    QHelpEngine *m_engine;
    QUrl m_startPage;
    QTabWidget *m_tabs;
    QWidget *m_contentsTab;
    QWidget *m_indexTab;
    QLineEdit *m_filter;
    HelpBrowser *m_browser;
};

} // namespace pixdock::help
