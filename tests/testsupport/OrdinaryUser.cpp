// Running a program as an ordinary user.
#include "OrdinaryUser.h"

#include <QProcess>
#include <QStandardPaths>

#include <pwd.h>

namespace pixdock::test {

OrdinaryUser OrdinaryUser::get()
{
    if (::getuid() != 0)
        return {::getuid(), ::getgid(), {}};
    if (!::getpwnam("pixdocktest"))
        QProcess::execute(QStringLiteral("useradd"), {"--system", "--no-create-home", "--shell", "/usr/sbin/nologin", "pixdocktest"});
    const passwd *pw = ::getpwnam("pixdocktest");
    if (!pw)
        return {0, 0, QStringLiteral("running as root and the user pixdocktest could not be made")};
    if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        return {0, 0, QStringLiteral("running as root and setpriv is not there to run as pixdocktest")};
    return {pw->pw_uid, pw->pw_gid, {}};
}

QStringList OrdinaryUser::commandLine(const QString &program, const QStringList &arguments) const
{
    const QStringList run = QStringList{program} + arguments;
    return !runsAsSomeoneElse() ? run
                                : QStringList{"setpriv", QStringLiteral("--reuid=%1").arg(uid), QStringLiteral("--regid=%1").arg(gid),
                                              "--clear-groups", "--"} + run;
}

} // namespace pixdock::test
