// Every message the program shows goes through here. Tests switch to answering mode:
// no real box appears, queued answers are given, and what was shown can be read back.
#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

namespace pixdock {

inline const QString ProgramTitle = QStringLiteral("Pixdock");

class MessageBox
{
public:
    using Button = QMessageBox::StandardButton;
    using Buttons = QMessageBox::StandardButtons;
    enum class Icon { None, Information, Warning, Critical, Question };

    struct Shown
    {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };

    static Button show(const QString &text, Buttons buttons = QMessageBox::Ok,
                       Icon icon = Icon::None, const QString &title = ProgramTitle);

    // Answering mode for tests.
    static void setAnsweringMode(bool on);
    static bool answeringMode();
    static void queueAnswer(Button answer);
    static int pendingAnswers();
    // Questions (more than one button) that found no queued answer; they got the
    // most cautious button (Cancel, else No, else the first).
    static int unansweredQuestions();
    static const QList<Shown> &shown();
    static QStringList shownTexts();
    static void clearRecord();
};

} // namespace pixdock
