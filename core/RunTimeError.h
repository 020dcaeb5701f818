// The program's run-time error: a number and a description, thrown by lower layers and
// caught by windows under one of three failure policies.
#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <initializer_list>

namespace pixdock {

// Error numbers the program tests for.
namespace err {
inline constexpr int InvalidCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int FileNotFound = 53;
inline constexpr int FileExists = 58;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidPicture = 481;
inline constexpr int ClosedObject = 3704;
inline constexpr int DatabaseError = 3146;
inline constexpr int InvalidGridRow = 30009;
inline constexpr int DialogCancelled = 32755;
} // namespace err

class RunTimeError : public std::exception
{
public:
    RunTimeError(int number, QString description);

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

// The three ways a handler deals with failures. None of them lets an exception escape,
// so they are safe to use inside Qt slots.

// Runs `body`; the first failure ends it silently. Returns false when something failed.
bool endAtFirstFailure(const std::function<void()> &body);

// Runs each step in turn; a failing step is left out and the next one runs.
// Returns how many steps failed.
int skipFailingSteps(std::initializer_list<std::function<void()>> steps);

// Runs `body`; a failure is handed to `handler` (which may show a message).
// Failures that are not RunTimeErrors reach the handler with number 0.
void handleFailure(const std::function<void()> &body,
                   const std::function<void(const RunTimeError &)> &handler);

} // namespace pixdock
