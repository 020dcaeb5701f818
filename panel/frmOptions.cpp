// The control panel window: layout, the catalogue buttons' visibility and the button handlers.
#include "frmOptions.h"

#include "KeyCodes.h"
#include "PanelButton.h"
#include "MessageBox.h"
#include "RunTimeError.h"
#include "Twips.h"
#include "WindowList.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProxyStyle>
#include <QPushButton>

#include <array>

namespace pixdock {

namespace {
constexpr int ButtonLeft = 0;
constexpr int ButtonWidth = 1215;
constexpr int ClientHeight = 8685;

std::array<frmOptions::CommandHandler, size_t(frmOptions::Command::Thumbnails) + 1> &handlers()
{
    static std::array<frmOptions::CommandHandler, size_t(frmOptions::Command::Thumbnails) + 1> table;
    return table;
}

// The panel's outer width leaves 80 twips (about five pixels) beside its buttons, as much as a
// thin tool-window border takes; the frame of the panel's sub-window is drawn that thin.
class ThinFrameStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_MdiSubWindowFrameWidth)
            return 2;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// The name a window is known by inside the program: its object name, else its class name.
QString internalName(const QWidget *window)
{
    if (!window)
        return QString();
    if (!window->objectName().isEmpty())
        return window->objectName();
    const QString className = QLatin1String(window->metaObject()->className());
    return className.mid(className.lastIndexOf(QLatin1Char(':')) + 1);
}
} // namespace

void frmOptions::setCommandHandler(Command command, CommandHandler handler)
{
    handlers()[size_t(command)] = std::move(handler);
}

void frmOptions::clearCommandHandlers() { handlers().fill(nullptr); }

frmOptions::frmOptions()
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    cmdOpen = addButton("cmdOpen", "Open Image", "Open An Image To View", 120, 495,
                        &frmOptions::cmdOpen_Click);
    cmdNext = addButton("cmdNext", "Next Image", "Open Next In Directory", 720, 495,
                        &frmOptions::cmdNext_Click);
    cmdPrevious = addButton("cmdPrevious", "Previous Image", "Open Previous In Directory", 1320, 495,
                            &frmOptions::cmdPrevious_Click);
    cmdAdd = addButton("cmdAdd", "Add To Database", "Add Current Picture", 1920, 495,
                       &frmOptions::cmdAdd_Click);
    cmdDelete = addButton("cmdDelete", "Delete From Database", "Delete Current Picture", 2520, 495,
                          &frmOptions::cmdDelete_Click);
    cmdShowAll = addButton("cmdShowAll", "Show Image List", "Show Image List From Database", 3120, 495,
                           &frmOptions::cmdShowAll_Click);
    cmdSearch = addButton("cmdSearch", "Search Database", "Search The Database", 3720, 495,
                          &frmOptions::cmdSearch_Click);
    cmdViewNextList = addButton("cmdViewNextList", "View Next From Database", nullptr, 4320, 615,
                                &frmOptions::cmdViewNextList_Click);
    cmdViewPrevList = addButton("cmdViewPrevList", "View Prev From Database", nullptr, 5040, 615,
                                &frmOptions::cmdViewPrevList_Click);
    cmdThumbnails = addButton("cmdThumbnails", "Show as Thumbnails", nullptr, 5760, 615,
                              &frmOptions::cmdThumbnails_Click);
    Command1 = addButton("Command1", "test", nullptr, 6600, 375, &frmOptions::Command1_Click);
    Command1->setGeometry(twips::rectToPixels(120, 6600, 975, 375));

    for (QPushButton *hidden : {cmdViewNextList, cmdViewPrevList, cmdThumbnails, Command1})
        hidden->hide();

    // Tab order: Open, Next, Previous, Search, Add, Delete, Show Image List, test, then the
    // three catalogue buttons.
    const QList<QPushButton *> tabOrder = {cmdOpen, cmdNext, cmdPrevious, cmdSearch, cmdAdd, cmdDelete,
                                           cmdShowAll, Command1, cmdViewNextList, cmdViewPrevList,
                                           cmdThumbnails};
    for (int i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i), tabOrder.at(i + 1));
}

QPushButton *frmOptions::addButton(const char *name, const char *caption, const char *tooltip, int top,
                                   int height, void (frmOptions::*handler)())
{
    auto *button = new PanelButton(QString::fromUtf8(caption), this);
    button->setObjectName(QLatin1String(name));
    if (tooltip)
        button->setToolTip(QString::fromUtf8(tooltip));
    button->setGeometry(twips::rectToPixels(ButtonLeft, top, ButtonWidth, height));
    button->fitCaption();
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void frmOptions::Form_Load()
{
    if (QMdiSubWindow *sub = subWindow()) {
        // A small title bar without close, minimise or maximise buttons.
        sub->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        auto *style = new ThinFrameStyle(sub->style()->name());
        style->setParent(sub);
        sub->setStyle(style);
    }
    setClientSizeTwips(ButtonWidth + 80, ClientHeight);
    setLeftTwips(0);
    setTopTwips(0);
    setWidthTwips(cmdNext->width() * twips::PerPixel + 80);
    // Not sizable: the outer size stays as laid out.
    if (QMdiSubWindow *sub = subWindow())
        sub->setFixedSize(sub->size());
    setPanel(this);
}

void frmOptions::Form_Unload()
{
    if (panel() == this)
        setPanel(nullptr);
    forgetSharedWindow<frmOptions>();
}

void frmOptions::closeEvent(QCloseEvent *event)
{
    // The user cannot close the panel; it goes only when the program unloads it (unload()
    // removes it whether or not this event is accepted).
    event->ignore();
}

void frmOptions::keyReleaseEvent(QKeyEvent *event)
{
    // Key releases that a focused button passes up do not count: only the panel's own.
    if (hasFocus() && !event->isAutoRepeat())
        Form_KeyUp(keys::virtualKeyCode(event->key()));
    else
        ChildWindow::keyReleaseEvent(event);
}

void frmOptions::Form_KeyUp(int keyCode) { MessageBox::show(QString::number(keyCode)); }

void frmOptions::setCatalogueButtonsVisible(bool visible)
{
    for (QPushButton *button : {cmdViewNextList, cmdViewPrevList, cmdThumbnails})
        button->setVisible(visible);
}

bool frmOptions::catalogueButtonsVisible() const { return !cmdViewNextList->isHidden(); }

void frmOptions::runCommand(Command command)
{
    const CommandHandler handler = handlers()[size_t(command)];
    if (handler)
        endAtFirstFailure([&] { handler(*this); });
}

void frmOptions::cmdOpen_Click() { runCommand(Command::Open); }
void frmOptions::cmdNext_Click() { runCommand(Command::Next); }
void frmOptions::cmdPrevious_Click() { runCommand(Command::Previous); }

void frmOptions::cmdAdd_Click()
{
    cmdNext->setFocus();
    runCommand(Command::Add);
}

void frmOptions::cmdDelete_Click() { runCommand(Command::Delete); }
void frmOptions::cmdSearch_Click() { runCommand(Command::Search); }
void frmOptions::cmdShowAll_Click() { runCommand(Command::ShowAll); }
void frmOptions::cmdViewNextList_Click() { runCommand(Command::ViewNextList); }
void frmOptions::cmdViewPrevList_Click() { runCommand(Command::ViewPrevList); }
void frmOptions::cmdThumbnails_Click() { runCommand(Command::Thumbnails); }

void frmOptions::Command1_Click()
{
    const int open = WindowList::instance().count();
    for (int i = 0; i < open; ++i) {
        // The active window is the frame's active child, or the frame itself when it has none.
        QWidget *active = nullptr;
        if (Frame *f = frame(); f && f->childArea() && f->childArea()->activeSubWindow())
            active = f->childArea()->activeSubWindow()->widget();
        if (!active)
            active = QApplication::activeWindow();
        MessageBox::show(internalName(active));
    }
}

} // namespace pixdock
