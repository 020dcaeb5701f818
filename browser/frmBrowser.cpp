// The browser window: its layout in twips, the address box and its history, the toolbar
// and the busy caption.
#include "frmBrowser.h"

#include "BrowserLayout.h"
#include "BrowserPages.h"
#include "Frame.h"
#include "RunTimeError.h"
#include "ToolbarIcons.h"
#include "Twips.h"
#include "WindowList.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QToolBar>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace pixdock {

using namespace browser::layout;

namespace {
const QString InitialCaption = QStringLiteral("Browse The Internet");
const QString WorkingCaption = QStringLiteral("Working...");
} // namespace

frmBrowser::frmBrowser()
{
    setWindowTitle(InitialCaption);
    m_clock.start();
    createToolBar();
    createAddressStrip();
    createBrowser();

    timTimer = new QTimer(this);
    timTimer->setObjectName(QStringLiteral("timTimer"));
    timTimer->setInterval(5);
    connect(timTimer, &QTimer::timeout, this, &frmBrowser::timTimer_Timer);
}

frmBrowser::~frmBrowser() = default;

void frmBrowser::createToolBar()
{
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setIconSize(QSize(24, 24));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbToolBar->setMovable(false);
    for (const QString &key : browser::toolbarKeys()) {
        QAction *button = tbToolBar->addAction(browser::toolbarIcon(key), key);
        button->setObjectName(key);
        button->setData(key);
        button->setToolTip(key);
    }
    connect(tbToolBar, &QToolBar::actionTriggered, this,
            [this](QAction *button) { tbToolBar_ButtonClick(button->data().toString()); });
    tbToolBar->setGeometry(0, 0, twips::toPixels(ClientWidth), twips::toPixels(ToolbarHeight));
}

void frmBrowser::createAddressStrip()
{
    picAddress = new QWidget(this);
    picAddress->setObjectName(QStringLiteral("picAddress"));
    picAddress->setGeometry(twips::rectToPixels(0, StripTop, ClientWidth, StripHeight));

    lblAddress = new QLabel(QStringLiteral("&Address:"), picAddress);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setGeometry(twips::rectToPixels(LabelLeft, LabelTop, LabelWidth, LabelHeight));

    cboAddress = new QComboBox(picAddress);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    // The list holds exactly the addresses the window reached; typing adds nothing by itself,
    // and no completion changes what the user typed.
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setCompleter(nullptr);
    cboAddress->setGeometry(twips::rectToPixels(AddressLeft, LabelTop, ClientWidth - 100,
                                                AddressHeight));
    lblAddress->setBuddy(cboAddress);
    // The box keeps the keyboard focus and hands keys to its line edit itself, past any
    // filter there: Enter is caught where the keyboard sends it.
    cboAddress->installEventFilter(this);
    connect(cboAddress, &QComboBox::activated, this, [this](int) {
        if (!m_passingEnterOn)
            cboAddress_Click();
    });
}

void frmBrowser::createBrowser()
{
    brwWebBrowser = new QWebEngineView(this);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));
    brwWebBrowser->setGeometry(twips::rectToPixels(BrowserLeft, BrowserTop, ClientWidth - 100,
                                                   ClientHeight - BrowserTop - 100));
    connect(brwWebBrowser, &QWebEngineView::loadStarted, this, [this] { m_busy.loadStarted(); });
    connect(brwWebBrowser, &QWebEngineView::loadFinished, this, [this](bool) {
        m_busy.loadFinished();
        brwWebBrowser_DownloadComplete();
    });
    connect(brwWebBrowser, &QWebEngineView::urlChanged, this, [this](const QUrl &) {
        m_busy.addressChanged();
        brwWebBrowser_NavigateComplete2();
    });
    installThemeScript();
}

// The shipped pages follow the window's palette; a changed theme counts from the next page.
void frmBrowser::installThemeScript()
{
    QWebEngineScriptCollection &scripts = brwWebBrowser->page()->scripts();
    for (const QWebEngineScript &old : scripts.find(QStringLiteral("pixdock-theme")))
        scripts.remove(old);
    QWebEngineScript script;
    script.setName(QStringLiteral("pixdock-theme"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(browser::themeScript(palette()));
    scripts.insert(script);
}

void frmBrowser::changeEvent(QEvent *event)
{
    ChildWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && brwWebBrowser)
        installThemeScript();
}

void frmBrowser::Form_Load()
{
    setClientSizeTwips(ClientWidth, ClientHeight);
    skipFailingSteps({
        [this] { showWindow(); },
        [this] { tbToolBar->update(); },
        [this] { Form_Resize(); },
        [this] {
            cboAddress->move(twips::pointToPixels(AddressLeft, browser::addressTop()));
        },
        [this] {
            if (StartingAddress.isEmpty())
                return;
            cboAddress->setEditText(StartingAddress);
            cboAddress->addItem(cboAddress->currentText());
            startBusyTimer();
            navigate(QUrl::fromUserInput(StartingAddress));
        },
        [this] {
            setLeftTwips(panelWidthTwips());
            setTopTwips(0);
            setHeightTwips(panelHeightTwips());
        },
    });
}

void frmBrowser::Form_Unload()
{
    // Browser windows are private instances; only a shared one is forgotten.
    if (loadedSharedWindow<frmBrowser>() == this)
        forgetSharedWindow<frmBrowser>();
}

void frmBrowser::resizeEvent(QResizeEvent *event)
{
    ChildWindow::resizeEvent(event);
    endAtFirstFailure([this] { Form_Resize(); });
}

void frmBrowser::Form_Resize()
{
    const int w = clientWidthTwips();
    const browser::BrowserSizes sizes = browser::browserSizes(w, clientHeightTwips());
    // The toolbar and the address strip are aligned to the top: they take the whole width.
    tbToolBar->resize(twips::toPixels(w), tbToolBar->height());
    picAddress->resize(twips::toPixels(w), picAddress->height());
    if (sizes.addressWidth)
        cboAddress->resize(twips::toPixels(*sizes.addressWidth), cboAddress->height());
    if (sizes.browserWidth)
        brwWebBrowser->resize(twips::toPixels(*sizes.browserWidth), brwWebBrowser->height());
    if (sizes.browserHeight)
        brwWebBrowser->resize(brwWebBrowser->width(), twips::toPixels(*sizes.browserHeight));
}

bool frmBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (m_passingEnterOn || watched != cboAddress || event->type() != QEvent::KeyPress)
        return ChildWindow::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return ChildWindow::eventFilter(watched, event);
    endAtFirstFailure([this] { cboAddress_KeyPress(13); });
    // Pass the key on to the box unchanged, now, so that whatever the box does with it
    // cannot start a second navigation.
    m_passingEnterOn = true;
    QCoreApplication::sendEvent(watched, event);
    m_passingEnterOn = false;
    return true;
}

void frmBrowser::cboAddress_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        cboAddress_Click();
}

void frmBrowser::cboAddress_Click()
{
    if (suppressNavigation)
        return;
    startBusyTimer();
    navigate(QUrl::fromUserInput(cboAddress->currentText()));
}

void frmBrowser::tbToolBar_ButtonClick(const QString &key)
{
    endAtFirstFailure([this, &key] {
        startBusyTimer();
        QWebEngineHistory *history = brwWebBrowser->history();
        if (key == QLatin1String("Back")) {
            if (history->canGoBack()) {
                m_busy.navigationRequested(m_clock.elapsed());
                brwWebBrowser->back();
            }
        } else if (key == QLatin1String("Forward")) {
            if (history->canGoForward()) {
                m_busy.navigationRequested(m_clock.elapsed());
                brwWebBrowser->forward();
            }
        } else if (key == QLatin1String("Refresh")) {
            if (!brwWebBrowser->url().isEmpty()) {
                m_busy.navigationRequested(m_clock.elapsed());
                brwWebBrowser->reload();
            }
        } else if (key == QLatin1String("Home")) {
            navigate(browser::homePageUrl());
        } else if (key == QLatin1String("Search")) {
            navigate(browser::searchPageUrl());
        } else if (key == QLatin1String("Stop")) {
            timTimer->stop();
            m_busy.stopped();
            brwWebBrowser->stop();
            setWindowTitle(currentTitle());
        }
    });
}

void frmBrowser::timTimer_Timer()
{
    if (!m_busy.isBusy(m_clock.elapsed())) {
        timTimer->stop();
        setWindowTitle(currentTitle());
    } else {
        setWindowTitle(WorkingCaption);
    }
}

void frmBrowser::brwWebBrowser_DownloadComplete()
{
    endAtFirstFailure([this] { setWindowTitle(currentTitle()); });
}

void frmBrowser::brwWebBrowser_NavigateComplete2()
{
    skipFailingSteps({
        [this] { setWindowTitle(currentTitle()); },
        [this] {
            const QString address = brwWebBrowser->url().toString();
            if (address.isEmpty())
                return;
            const int found = cboAddress->findText(address, Qt::MatchExactly | Qt::MatchCaseSensitive);
            suppressNavigation = true;
            if (found >= 0)
                cboAddress->removeItem(found);
            cboAddress->insertItem(0, address);
            cboAddress->setCurrentIndex(0);
            suppressNavigation = false;
        },
    });
}

void frmBrowser::startBusyTimer() { timTimer->start(); }

void frmBrowser::navigate(const QUrl &url)
{
    if (!url.isValid() || url.isEmpty())
        return;
    m_busy.navigationRequested(m_clock.elapsed());
    brwWebBrowser->load(url);
}

QString frmBrowser::currentTitle() const
{
    // The view names an untitled page by its address; only a window that never reached a
    // page has neither, and keeps its first caption.
    const QString title = brwWebBrowser->title();
    if (!title.isEmpty())
        return title;
    const QString address = brwWebBrowser->url().toString();
    return address.isEmpty() ? InitialCaption : address;
}

} // namespace pixdock
