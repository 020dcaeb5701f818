// clsFiles: splitting paths and the file operations (delete, move, copy, make a folder) that
// the rest of the program asks for. Paths are native; a folder that this class joins to a
// file name must already end with a separator, because it joins by plain concatenation.
#pragma once

#include <QString>
#include <QVariant>

namespace pixdock {

class clsFiles
{
public:
    // Deletes the file when a listing of the folder shows it (a normal, not hidden file); a
    // missing file is no failure. A read-only file is not deleted: error 70 reaches the caller.
    void Delete(const QString &sFilename);
    // The extension of the last component, without the dot; empty text when there is none.
    QVariant ShowFileType(const QString &sFile) const;
    // The path without its last component: no trailing separator, except that the root
    // keeps it (/pics/a.jpg gives /pics, /a.jpg gives /, a.jpg gives empty text).
    QVariant GetParentDir(const QString &sFile) const;
    // The last component of the path.
    QVariant GetFileName(const QString &sFile) const;
    // Moves sSource & sFilename to sDestination & sFilename. An existing target is deleted
    // (without forcing; that failure reaches the caller) and the move tried again; every
    // other failure is dropped.
    void Move(const QString &sSource, const QString &sDestination, const QString &sFilename);
    // Moves sSource (wildcards * and ? allowed in its last component) to sDestination;
    // every failure is dropped.
    void MoveAllFiles(const QString &sSource, const QString &sDestination);
    // Copies sSource & sFilename to sDestination & sNewFilename, overwriting an existing
    // target. An empty sNewFilename is set to sFilename, in the caller's variable too.
    void Copy(const QString &sSource, const QString &sDestination, const QString &sFilename);
    void Copy(const QString &sSource, const QString &sDestination, const QString &sFilename,
              QString &sNewFilename);
    bool FileExists(const QString &sPath) const;
    // Creates the last level of sPath; an existing folder or a missing parent reaches the caller.
    void MakeFolder(const QString &sPath);
    bool FolderExists(const QString &sSource) const;

    // Plain stores; nothing in the class reads them.
    QString ToDirectory() const { return m_toDirectory; }
    void setToDirectory(const QString &vData) { m_toDirectory = vData; }
    QString Filename() const { return m_filename; }
    void setFilename(const QString &vData) { m_filename = vData; }
    QString FromDirectory() const { return m_fromDirectory; }
    void setFromDirectory(const QString &vData) { m_fromDirectory = vData; }
    QVariant FileType() const { return m_fileType; }
    void setFileType(const QVariant &vData) { m_fileType = vData; }
    QVariant Size() const { return m_size; }
    void setSize(const QVariant &vData) { m_size = vData; }

private:
    QString m_toDirectory;
    QString m_filename;
    QString m_fromDirectory;
    QVariant m_fileType;
    QVariant m_size;
};

} // namespace pixdock
