// An ordinary user to run a program as, so that file permissions count (they do not for root).
#pragma once

#include <QFile>
#include <QStringList>

#include <sys/fsuid.h>
#include <unistd.h>

namespace pixdock::test {

struct OrdinaryUser
{
    uint uid = 0, gid = 0;
    QString skipReason; // set when no such user can be had

    // As root: the user pixdocktest, made when missing. Otherwise this process's own user.
    static OrdinaryUser get();
    bool runsAsSomeoneElse() const { return uid != 0 && uid != ::getuid(); }

    // The command line that runs `program` with `arguments` as this user.
    QStringList commandLine(const QString &program, const QStringList &arguments) const;
    // Hands a file or folder to the user (a no-op when running as the user already).
    bool give(const QString &path) const
    {
        return !runsAsSomeoneElse() || ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
    }
};

// While it lives, the file accesses of the thread that made it are checked as an ordinary
// user's (the thread's file-system user id, which also drops root's right to read anything):
// a file of mode 000 cannot be read by this thread even when the tests run as root. Other
// threads keep their rights.
class ThreadReadsAsOrdinaryUser
{
public:
    // As anyone else, a file of mode 000 is unreadable already.
    ThreadReadsAsOrdinaryUser() : m_previous(::geteuid() == 0 ? ::setfsuid(65534 /* nobody */) : -1) {}
    ~ThreadReadsAsOrdinaryUser() { if (m_previous >= 0) ::setfsuid(uid_t(m_previous)); }
    Q_DISABLE_COPY_MOVE(ThreadReadsAsOrdinaryUser)

private:
    const int m_previous;
};

} // namespace pixdock::test
