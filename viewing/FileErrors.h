// The run-time errors of file-system calls: an errno value turned into the number and text
// the program reports and tests for.
#pragma once

#include "RunTimeError.h"

namespace pixdock::viewing {

namespace fileerr {
inline constexpr int BadFileName = 52;
inline constexpr int DeviceIO = 57;
inline constexpr int DiskFull = 61;
inline constexpr int AccessError = 75;
} // namespace fileerr

// The error of that number with its usual text ("File not found", "Path not found"...).
RunTimeError fileError(int number);
// The error for a failed system call, from its errno value.
RunTimeError errnoError(int errnoValue);
// The same number, described by the system's own reason in lower case ("permission denied",
// "input/output error"), for a message that says why a file cannot be read.
RunTimeError unreadableError(int errnoValue);
// Whether the error is one of unreadableError's, with the system's reason to tell.
bool isUnreadableError(const RunTimeError &error);
// The system's reason for an error, in lower case.
QString systemReason(const QString &text);

} // namespace pixdock::viewing
