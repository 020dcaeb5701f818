// Run-time errors and the helpers for the three failure policies.
#include "RunTimeError.h"

namespace pixdock {

RunTimeError::RunTimeError(int number, QString description)
    : m_number(number)
    , m_description(std::move(description))
    , m_what(QStringLiteral("%1: %2").arg(m_number).arg(m_description).toUtf8())
{
}

bool endAtFirstFailure(const std::function<void()> &body)
{
    try {
        body();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

int skipFailingSteps(std::initializer_list<std::function<void()>> steps)
{
    int failed = 0;
    for (const auto &step : steps) {
        if (!endAtFirstFailure(step))
            ++failed;
    }
    return failed;
}

void handleFailure(const std::function<void()> &body,
                   const std::function<void(const RunTimeError &)> &handler)
{
    try {
        body();
    } catch (const RunTimeError &e) {
        handler(e);
    } catch (const std::exception &e) {
        handler(RunTimeError(0, QString::fromLocal8Bit(e.what())));
    }
}

} // namespace pixdock
