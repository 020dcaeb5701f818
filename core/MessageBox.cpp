// The message facade over QMessageBox.
#include "MessageBox.h"

#include "ModGlobal.h"

#include <QApplication>
#include <QQueue>

namespace pixdock {

namespace {
struct AnsweringState
{
    bool on = false;
    QQueue<MessageBox::Button> answers;
    QList<MessageBox::Shown> shown;
    int unanswered = 0;
};

AnsweringState &state()
{
    static AnsweringState s;
    return s;
}

MessageBox::Button cautiousButton(MessageBox::Buttons buttons)
{
    for (auto b : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok, QMessageBox::Yes}) {
        if (buttons.testFlag(b))
            return b;
    }
    return QMessageBox::NoButton;
}

QMessageBox::Icon qtIcon(MessageBox::Icon icon)
{
    switch (icon) {
    case MessageBox::Icon::Information: return QMessageBox::Information;
    case MessageBox::Icon::Warning: return QMessageBox::Warning;
    case MessageBox::Icon::Critical: return QMessageBox::Critical;
    case MessageBox::Icon::Question: return QMessageBox::Question;
    case MessageBox::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

MessageBox::Button MessageBox::show(const QString &text, Buttons buttons, Icon icon,
                                    const QString &title)
{
    auto &s = state();
    if (s.on) {
        s.shown.append({text, title, buttons, icon});
        if (!s.answers.isEmpty())
            return s.answers.dequeue();
        if (buttons != QMessageBox::Ok && buttons != QMessageBox::NoButton)
            ++s.unanswered;
        return cautiousButton(buttons);
    }
    QWidget *owner = gMainWindow ? gMainWindow.data() : QApplication::activeWindow();
    QMessageBox box(qtIcon(icon), title, text, buttons, owner);
    return static_cast<Button>(box.exec());
}

void MessageBox::setAnsweringMode(bool on) { state().on = on; }
bool MessageBox::answeringMode() { return state().on; }
void MessageBox::queueAnswer(Button answer) { state().answers.enqueue(answer); }
int MessageBox::pendingAnswers() { return int(state().answers.size()); }
int MessageBox::unansweredQuestions() { return state().unanswered; }
const QList<MessageBox::Shown> &MessageBox::shown() { return state().shown; }

QStringList MessageBox::shownTexts()
{
    QStringList texts;
    for (const auto &s : state().shown)
        texts.append(s.text);
    return texts;
}

void MessageBox::clearRecord()
{
    auto &s = state();
    s.answers.clear();
    s.shown.clear();
    s.unanswered = 0;
}

} // namespace pixdock
