// Running a program as an ordinary user.
#include "OrdinaryUser.h"

#include <QFile>
#include <QProcess>

#include <pwd.h>
#include <sys/fsuid.h>
#include <unistd.h>

namespace pixdock::test {

bool OrdinaryUser::runsAsSomeoneElse() const { return uid != 0 && uid != ::getuid(); }

OrdinaryUser OrdinaryUser::get()
{
    OrdinaryUser user;
    if (::getuid() != 0) {
        user.uid = ::getuid();
        user.gid = ::getgid();
        return user;
    }
    const char *name = "pixdocktest";
    if (!::getpwnam(name)) {
        QProcess add;
        add.start(QStringLiteral("useradd"), {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                                              QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"),
                                              QString::fromLatin1(name)});
        add.waitForFinished(30000);
    }
    const passwd *pw = ::getpwnam(name);
    if (!pw) {
        user.skipReason = QStringLiteral("running as root and the user pixdocktest could not be made");
        return user;
    }
    QProcess setpriv;
    setpriv.start(QStringLiteral("setpriv"), {QStringLiteral("--version")});
    if (!setpriv.waitForFinished(30000) || setpriv.exitStatus() != QProcess::NormalExit
        || setpriv.exitCode() != 0) {
        user.skipReason = QStringLiteral("running as root and setpriv is not there to run as pixdocktest");
        return user;
    }
    user.uid = pw->pw_uid;
    user.gid = pw->pw_gid;
    return user;
}

QStringList OrdinaryUser::commandLine(const QString &program, const QStringList &arguments) const
{
    if (!runsAsSomeoneElse())
        return QStringList{program} + arguments;
    return QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(uid),
                       QStringLiteral("--regid=%1").arg(gid), QStringLiteral("--clear-groups"),
                       QStringLiteral("--")}
           + QStringList{program} + arguments;
}

bool OrdinaryUser::give(const QString &path) const
{
    if (!runsAsSomeoneElse())
        return true;
    return ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

ThreadReadsAsOrdinaryUser::ThreadReadsAsOrdinaryUser()
{
    // As anyone else, a file of mode 000 is unreadable already.
    constexpr int Nobody = 65534;
    if (::geteuid() == 0)
        m_previous = ::setfsuid(Nobody);
}

ThreadReadsAsOrdinaryUser::~ThreadReadsAsOrdinaryUser()
{
    if (m_previous >= 0)
        ::setfsuid(uid_t(m_previous));
}

} // namespace pixdock::test
