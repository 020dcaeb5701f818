// Resetting shared state, windows and seams between tests.
#include "TestState.h"

#include "Clock.h"
#include "CommonDialog.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "NameOrder.h"
#include "WindowList.h"

#include <QApplication>
#include <QLocale>

namespace pixdock::test {

void beforeApplication() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

void enterAnsweringMode()
{
    MessageBox::setAnsweringMode(true);
    CommonDialog::setAnsweringMode(true);
}

void flushDeletes()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void resetProgramState()
{
    const QList<QWidget *> open = WindowList::instance().windows();
    for (auto it = open.crbegin(); it != open.crend(); ++it)
        unloadWindow(*it);
    flushDeletes();
    WindowList::instance().clear();
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    resetSharedState();
    setClock(nullptr);
    MessageBox::clearRecord();
    CommonDialog::clearRecord();
}

QString unusedOrMissingAnswers()
{
    QStringList problems;
    if (const int unused = MessageBox::pendingAnswers())
        problems << QStringLiteral("%1 queued message answer(s) unused").arg(unused);
    if (const int unanswered = MessageBox::unansweredQuestions())
        problems << QStringLiteral("%1 question(s) nobody answered: %2")
                        .arg(unanswered).arg(MessageBox::shownTexts().join(" | "));
    if (const int dialogs = CommonDialog::unansweredDialogs())
        problems << QStringLiteral("%1 dialog(s) nobody answered").arg(dialogs);
    return problems.join(QStringLiteral("; "));
}

void switchLocale(const QLocale &locale)
{
    names::watchLocaleChanges();
    QLocale::setDefault(locale);
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
}

} // namespace pixdock::test
