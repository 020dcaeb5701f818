// Putting the program back into its start state between tests, and checking that a test
// left nothing behind.
#pragma once

#include <QString>

class QLocale;

namespace pixdock::test {

// Called before the QApplication exists (WebEngine and similar set-up).
void beforeApplication();
// Message boxes and common dialogs answer from queues instead of waiting for a person.
void enterAnsweringMode();
// Closes every window, forgets shared instances, clears shared state and the seams' records.
void resetProgramState();
// Lets windows closed with deleteLater actually go.
void flushDeletes();
// Empty when every queued answer was used and no question went unanswered, else what is wrong.
QString unusedOrMissingAnswers();
// Makes `locale` the default and tells the application, as the platform does when the user's
// locale changes (QEvent::LocaleChange); the name order follows it.
void switchLocale(const QLocale &locale);

} // namespace pixdock::test
