// A temporary program folder holding a fresh, empty db.fil made from the real schema; the
// program's locations point at it while it lives.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace pixdock::test {

class ProgramFolder
{
public:
    ProgramFolder();
    ~ProgramFolder();
    Q_DISABLE_COPY_MOVE(ProgramFolder)

    QString path() const { return m_dir.path(); }
    QString cataloguePath() const { return filePath(QStringLiteral("db.fil")); }
    // A path inside the folder.
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// The schema file the build uses for db.fil.
QString schemaFile();

} // namespace pixdock::test
