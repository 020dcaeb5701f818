// Resetting shared state, windows and seams between tests.
#include "TestState.h"

#include "Clock.h"
#include "CommonDialog.h"
#include "Frame.h"
#include "Locations.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "NameOrder.h"
#include "WindowList.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLocale>
#include <QWidget>

namespace pixdock::test {

void beforeApplication()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

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
    for (int i = int(open.size()) - 1; i >= 0; --i)
        unloadWindow(open.at(i));
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
    if (MessageBox::pendingAnswers() > 0)
        problems << QStringLiteral("%1 queued message answer(s) unused").arg(MessageBox::pendingAnswers());
    if (MessageBox::unansweredQuestions() > 0)
        problems << QStringLiteral("%1 question(s) nobody answered: %2")
                        .arg(MessageBox::unansweredQuestions())
                        .arg(MessageBox::shownTexts().join(QStringLiteral(" | ")));
    if (CommonDialog::unansweredDialogs() > 0)
        problems << QStringLiteral("%1 dialog(s) nobody answered").arg(CommonDialog::unansweredDialogs());
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
