// Building and driving the help window.
#include "HelpWindow.h"

#include "HelpBrowser.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pixdock::help {

namespace {
// A plain widget is a client area to screen readers, not a window; the help window is
// announced as a window of its own, named by its title.
QAccessibleInterface *accessibleHelpWindow(const QString &className, QObject *object)
{
    if (className == QLatin1String(HelpWindow::staticMetaObject.className()) && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}
} // namespace

HelpWindow::HelpWindow(QHelpEngine *engine, const QUrl &startPage, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_engine(engine)
    , m_startPage(startPage)
{
    static const bool announcedAsWindow = [] {
        QAccessible::installFactory(&accessibleHelpWindow);
        return true;
    }();
    Q_UNUSED(announcedAsWindow);
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Pixdock Help"));
    m_engine->setParent(this);

    m_browser = new HelpBrowser(m_engine, this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        setWindowTitle(QStringLiteral("Pixdock Help - %1").arg(m_browser->documentTitle()));
    });

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("helpTabs"));
    m_contentsTab = m_engine->contentWidget();
    m_contentsTab->setObjectName(QStringLiteral("contentsTab"));
    m_tabs->addTab(m_contentsTab, QStringLiteral("&Contents"));
    m_indexTab = createIndexTab();
    m_tabs->addTab(m_indexTab, QStringLiteral("&Index"));
    connect(m_engine->contentWidget(), &QHelpContentWidget::linkActivated, this, &HelpWindow::showPage);
    // The table of contents is built in the background; open its top level once it is there.
    connect(m_engine->contentModel(), &QHelpContentModel::contentsCreated, this,
            [this] { m_engine->contentWidget()->expandToDepth(0); });
    if (!m_engine->contentModel()->isCreatingContents())
        m_engine->contentWidget()->expandToDepth(0);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(760, 520);
    splitter->setSizes({220, 540});
}

HelpWindow::~HelpWindow() = default;

QWidget *HelpWindow::createIndexTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("indexTab"));
    auto *label = new QLabel(QStringLiteral("&Look for:"), tab);
    m_filter = new QLineEdit(tab);
    m_filter->setObjectName(QStringLiteral("txtIndexFilter"));
    label->setBuddy(m_filter);
    QHelpIndexWidget *index = m_engine->indexWidget();
    index->setObjectName(QStringLiteral("indexList"));

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(label);
    layout->addWidget(m_filter);
    layout->addWidget(index);

    connect(m_filter, &QLineEdit::textChanged, index,
            [index](const QString &text) { index->filterIndices(text); });
    connect(m_filter, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink &document, const QString &) { showPage(document.url); });
    // A keyword of several topics shows the first; the manual gives each keyword one page.
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink> &documents, const QString &) {
                if (!documents.isEmpty())
                    showPage(documents.first().url);
            });
    return tab;
}

QString HelpWindow::collectionFile() const { return m_engine->collectionFile(); }

void HelpWindow::showContents()
{
    m_tabs->setCurrentWidget(m_contentsTab);
    showPage(m_startPage);
    bringUp();
    m_contentsTab->setFocus();
}

void HelpWindow::showIndex()
{
    m_tabs->setCurrentWidget(m_indexTab);
    m_filter->clear();
    m_engine->indexWidget()->filterIndices(QString());
    if (m_browser->source().isEmpty())
        showPage(m_startPage);
    bringUp();
    m_filter->setFocus();
}

void HelpWindow::bringUp()
{
    show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void HelpWindow::showPage(const QUrl &url)
{
    if (url.isValid())
        m_browser->setSource(url);
}

} // namespace pixdock::help
