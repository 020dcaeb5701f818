// clsFiles: splitting paths, and deleting, moving, copying files and making folders on disk.
#include "ViewingTestCase.h"
#include "clsFiles.h"

#include <QDirIterator>

class TestClsFiles : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    clsFiles m_files;

    // Every file under the test's folder as "path=contents", and every folder but src and
    // dst as "path/", in order.
    QString tree() const
    {
        QStringList entries;
        for (QDirIterator it(m_dir->path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString name = QDir(m_dir->path()).relativeFilePath(it.next());
            QFile file(it.filePath());
            if (!it.fileInfo().isDir())
                entries << name + "=" + QString::fromUtf8(file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
            else if (name != "src" && name != "dst")
                entries << name + "/";
        }
        entries.sort();
        return entries.join(' ');
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_dir->path()).mkdir("src") && QDir(m_dir->path()).mkdir("dst"));
    }

    void pathsSplit_data()
    {
        // split: the parent folder, the name and the type
        test::columns<QString, QStringList>("path", "split");
        QTest::newRow("file in a folder") << "/pics/a.jpg" << QStringList{"/pics", "a.jpg", "jpg"};
        QTest::newRow("file in the root keeps the separator") << "/a.jpg" << QStringList{"/", "a.jpg", "jpg"};
        QTest::newRow("bare name") << "a.jpg" << QStringList{"", "a.jpg", "jpg"};
        QTest::newRow("relative path") << "rel/x.png" << QStringList{"rel", "x.png", "png"};
        QTest::newRow("last dot counts, case kept") << "/pics/a.b.JPG" << QStringList{"/pics", "a.b.JPG", "JPG"};
        QTest::newRow("no extension") << "/pics/readme" << QStringList{"/pics", "readme", ""};
        QTest::newRow("dot in the folder only") << "/my.pics/readme" << QStringList{"/my.pics", "readme", ""};
        QTest::newRow("trailing separator") << "/pics/sub/" << QStringList{"/pics", "sub", ""};
        QTest::newRow("doubled separator") << "/pics//a.jpg" << QStringList{"/pics", "a.jpg", "jpg"};
        QTest::newRow("the root") << "/" << QStringList{"", "", ""};
        QTest::newRow("empty") << "" << QStringList{"", "", ""};
    }
    void pathsSplit()
    {
        QFETCH(QString, path);
        QTEST(QStringList({m_files.GetParentDir(path).toString(), m_files.GetFileName(path).toString(),
                           m_files.ShowFileType(path).toString()}), "split");
    }

    // `files`: "path=contents" (a trailing ! makes it read-only) or "folder/"; `call`: the
    // member and its arguments, each a path under the test's folder, or, after ~, as it stands
    // (run in the test's folder); `result`: the error number raised, then what the call gave
    // back (Copy's new name; "file" and "folder" for the tests of existence).
    void fileOperations_data()
    {
        test::columns<QString, QString, QString, QString>("files", "call", "result", "after");
        const QString both = "src/a.jpg=new dst/a.jpg=old";
        QTest::newRow("delete a file") << "src/a.jpg=x" << "Delete src/a.jpg" << "0" << "";
        QTest::newRow("delete a missing file: no failure") << "" << "Delete src/a.jpg" << "0" << "";
        QTest::newRow("delete a read-only file") << "src/a.jpg=x!" << "Delete src/a.jpg" << "70" << "src/a.jpg=x";
        QTest::newRow("delete a hidden file: not listed, so left") << "src/.a=x" << "Delete src/.a" << "0" << "src/.a=x";
        QTest::newRow("delete a folder: not listed, so left") << "src/a.jpg/" << "Delete src/a.jpg" << "0" << "src/a.jpg/";
        QTest::newRow("move") << "src/a.jpg=new" << "Move src/ dst/ ~a.jpg" << "0" << "dst/a.jpg=new";
        QTest::newRow("move replaces a target") << both << "Move src/ dst/ ~a.jpg" << "0" << "dst/a.jpg=new";
        QTest::newRow("move a missing source: no sign") << "dst/a.jpg=old" << "Move src/ dst/ ~a.jpg" << "0" << "dst/a.jpg=old";
        QTest::newRow("move onto a read-only target") << both + "!" << "Move src/ dst/ ~a.jpg" << "70" << "dst/a.jpg=old src/a.jpg=new";
        QTest::newRow("move onto itself keeps the file") << "src/a.jpg=k" << "Move src/ src// ~a.jpg" << "0" << "src/a.jpg=k";
        QTest::newRow("move all matching, a failure passed over")
            << "src/a.jpg=a src/b.jpg=b src/c.png=c src/D.JPG=D dst/b.jpg=old" << "MoveAllFiles src/*.jpg dst" << "0"
            << "dst/a.jpg=a dst/b.jpg=old src/D.JPG=D src/b.jpg=b src/c.png=c";
        QTest::newRow("move all: one file renamed") << "src/c.png=c" << "MoveAllFiles src/c.png dst/r.png" << "0" << "dst/r.png=c";
        QTest::newRow("move all into a missing folder") << "src/D.JPG=D" << "MoveAllFiles src/*.JPG nowhere/" << "0" << "src/D.JPG=D";
        QTest::newRow("move all: a bare name is a file of the working folder") << "r.png=r" << "MoveAllFiles ~r.png ~s.png" << "0" << "s.png=r";
        QTest::newRow("copy") << "src/a.jpg=p" << "Copy src/ dst/ ~a.jpg" << "0 a.jpg" << "dst/a.jpg=p src/a.jpg=p";
        QTest::newRow("copy to a new name") << "src/a.jpg=p" << "Copy src/ dst/ ~a.jpg ~b.jpg" << "0 b.jpg" << "dst/b.jpg=p src/a.jpg=p";
        QTest::newRow("copy overwrites a target") << both << "Copy src/ dst/ ~a.jpg" << "0 a.jpg" << "dst/a.jpg=new src/a.jpg=new";
        QTest::newRow("copy onto a read-only target") << both + "!" << "Copy src/ dst/ ~a.jpg" << "70" << "dst/a.jpg=old src/a.jpg=new";
        QTest::newRow("copy a missing source") << "" << "Copy src/ dst/ ~a.jpg" << "53" << "";
        QTest::newRow("copy into a missing folder") << "src/a.jpg=p" << "Copy src/ nowhere/ ~a.jpg" << "76" << "src/a.jpg=p";
        QTest::newRow("copy onto itself") << "src/a.jpg=p" << "Copy src/ src/ ~a.jpg" << "70" << "src/a.jpg=p";
        QTest::newRow("a file exists") << "src/a.jpg=x" << "Exists src/a.jpg" << "0 file" << "src/a.jpg=x";
        QTest::newRow("a hidden file exists") << "src/.h=x" << "Exists src/.h" << "0 file" << "src/.h=x";
        QTest::newRow("a folder exists") << "" << "Exists src" << "0 folder" << "";
        QTest::newRow("a folder with a separator exists") << "" << "Exists src/" << "0 folder" << "";
        QTest::newRow("a missing file") << "" << "Exists src/none.jpg" << "0" << "";
        QTest::newRow("an empty path") << "" << "Exists ~" << "0" << "";
        QTest::newRow("make a folder") << "" << "MakeFolder src/new" << "0" << "src/new/";
        QTest::newRow("make an existing folder") << "" << "MakeFolder src" << "58" << "";
        QTest::newRow("make a folder in a missing one") << "" << "MakeFolder none/new" << "76" << "";
    }
    void fileOperations()
    {
        const auto [files, call] = test::fetch<QString, QString>("files", "call");
        for (const QString &file : files.split(' ', Qt::SkipEmptyParts)) {
            const QString path = m_dir->path() + "/" + file.section('=', 0, 0);
            if (file.endsWith('/'))
                QVERIFY(QDir().mkdir(path));
            else
                test::writeBytes(QFileInfo(path).path(), QFileInfo(path).fileName(), file.section('=', 1).remove('!').toUtf8());
            if (file.endsWith('!'))
                QFile::setPermissions(path, QFile::ReadOwner);
        }
        QStringList a = call.split(' ');
        for (QString &arg : a)
            arg = arg.startsWith('~') ? arg.mid(1) : m_dir->path() + "/" + arg;
        const auto back = qScopeGuard([working = QDir::currentPath()] { QDir::setCurrent(working); });
        QVERIFY(QDir::setCurrent(m_dir->path()));
        const QString member = call.section(' ', 0, 0);
        QString given;
        int error = 0;
        try {
            if (member == "Delete")
                m_files.Delete(a[1]);
            else if (member == "Move")
                m_files.Move(a[1], a[2], a[3]);
            else if (member == "MoveAllFiles")
                m_files.MoveAllFiles(a[1], a[2]);
            else if (member == "Copy")
                m_files.Copy(a[1], a[2], a[3], given = a.value(4));
            else if (member == "Exists")
                given = QString(m_files.FileExists(a[1]) ? "file" : "") + (m_files.FolderExists(a[1]) ? "folder" : "");
            else
                m_files.MakeFolder(a[1]);
        } catch (const RunTimeError &e) {
            error = e.number();
            given.clear();
        }
        QTEST((QString::number(error) + " " + given).trimmed(), "result");
        // Nothing half-written is left beside a target.
        QTEST(tree(), "after");
    }
};

PIXDOCK_REGISTER_TEST(TestClsFiles)
#include "tst_clsFiles.moc"
