// clsFiles: splitting paths, and deleting, moving, copying files and making folders on disk.
#include "RunTimeError.h"
#include "ViewingTestCase.h"
#include "clsFiles.h"

#include <QScopeGuard>

using namespace pixdock;

namespace {
QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void makeReadOnly(const QString &path)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

// The error number a call raises, 0 when it raises none.
template<class F>
int errorOf(F &&call)
{
    try {
        call();
    } catch (const RunTimeError &e) {
        return e.number();
    }
    return 0;
}
} // namespace

class TestClsFiles : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    clsFiles m_files;
    QString m_src; // both end with a separator, as the class expects
    QString m_dst;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_dir->path()).mkdir("src") && QDir(m_dir->path()).mkdir("dst"));
        m_src = m_dir->path() + "/src/";
        m_dst = m_dir->path() + "/dst/";
    }

    void pathsSplit_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::newRow("file in a folder") << "/pics/a.jpg" << "/pics" << "a.jpg" << "jpg";
        QTest::newRow("file in the root keeps the separator") << "/a.jpg" << "/" << "a.jpg" << "jpg";
        QTest::newRow("bare name") << "a.jpg" << "" << "a.jpg" << "jpg";
        QTest::newRow("relative path") << "rel/x.png" << "rel" << "x.png" << "png";
        QTest::newRow("last dot counts, case kept") << "/pics/a.b.JPG" << "/pics" << "a.b.JPG" << "JPG";
        QTest::newRow("no extension") << "/pics/readme" << "/pics" << "readme" << "";
        QTest::newRow("dot in the folder only") << "/my.pics/readme" << "/my.pics" << "readme" << "";
        QTest::newRow("trailing separator") << "/pics/sub/" << "/pics" << "sub" << "";
        QTest::newRow("doubled separator") << "/pics//a.jpg" << "/pics" << "a.jpg" << "jpg";
        QTest::newRow("the root") << "/" << "" << "" << "";
        QTest::newRow("empty") << "" << "" << "" << "";
    }

    void pathsSplit()
    {
        QFETCH(QString, path);
        QCOMPARE(m_files.GetParentDir(path).metaType(), QMetaType::fromType<QString>());
        QTEST(m_files.GetParentDir(path).toString(), "parent");
        QTEST(m_files.GetFileName(path).toString(), "name");
        QTEST(m_files.ShowFileType(path).toString(), "type");
    }

    void deleteRemovesOnlyListedWritableFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("gone");
        QTest::newRow("normal file is deleted") << "normal" << 0 << true;
        QTest::newRow("missing file is no failure") << "missing" << 0 << true;
        QTest::newRow("read-only file reaches the caller") << "read-only" << 70 << false;
        QTest::newRow("hidden file is not listed, so left") << "hidden" << 0 << false;
        QTest::newRow("folder is not listed, so left") << "folder" << 0 << false;
    }

    void deleteRemovesOnlyListedWritableFiles()
    {
        QFETCH(QString, kind);
        const QString path = m_src + (kind == "hidden" ? ".a.jpg" : "a.jpg");
        if (kind == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (kind != "missing")
            test::writeBytes(m_src, QFileInfo(path).fileName(), "data");
        if (kind == "read-only")
            makeReadOnly(path);
        QTEST(errorOf([&] { m_files.Delete(path); }), "error");
        QTEST(!QFileInfo::exists(path), "gone");
    }

    void moveReplacesAnExistingTargetAndDropsOtherFailures_data()
    {
        QTest::addColumn<QString>("source");       // content, or empty for none
        QTest::addColumn<QString>("target");       // content, or empty for none
        QTest::addColumn<bool>("targetReadOnly");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("sourceAfter");  // "<missing>" when moved away
        QTest::addColumn<QString>("targetAfter");
        QTest::newRow("plain move") << "new" << "" << false << 0 << "<missing>" << "new";
        QTest::newRow("existing target replaced") << "new" << "old" << false << 0 << "<missing>" << "new";
        QTest::newRow("missing source: no sign") << "" << "old" << false << 0 << "<missing>" << "old";
        QTest::newRow("read-only target reaches the caller")
            << "new" << "old" << true << 70 << "new" << "old";
        QTest::newRow("onto itself keeps the file") << "keep" << "itself" << false << 0 << "keep" << "<missing>";
    }

    void moveReplacesAnExistingTargetAndDropsOtherFailures()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, targetReadOnly);
        if (!source.isEmpty())
            test::writeBytes(m_src, "a.jpg", source.toUtf8());
        const QString destination = target == "itself" ? m_dir->path() + "/src//" : m_dst;
        if (!target.isEmpty() && target != "itself")
            test::writeBytes(m_dst, "a.jpg", target.toUtf8());
        if (targetReadOnly)
            makeReadOnly(m_dst + "a.jpg");
        QTEST(errorOf([&] { m_files.Move(m_src, destination, "a.jpg"); }), "error");
        QTEST(QString(contents(m_src + "a.jpg")), "sourceAfter");
        QTEST(QString(contents(m_dst + "a.jpg")), "targetAfter");
    }

    void moveAllFilesMovesMatchingFilesAndIgnoresFailures()
    {
        for (const char *n : {"a.jpg", "b.jpg", "c.png", "D.JPG"})
            test::writeBytes(m_src, n, n);
        test::writeBytes(m_dst, "b.jpg", "old");
        clsFiles &files = m_files;
        files.MoveAllFiles(m_src + "*.jpg", m_dir->path() + "/dst");
        QCOMPARE(QDir(m_dst).entryList(QDir::Files), QStringList({"a.jpg", "b.jpg"}));
        QCOMPARE(contents(m_dst + "b.jpg"), QByteArray("old")); // an existing target is a failure, ignored
        QCOMPARE(QDir(m_src).entryList(QDir::Files), QStringList({"b.jpg", "c.png", "D.JPG"}));
        files.MoveAllFiles(m_src + "c.png", m_dst + "renamed.png");
        QVERIFY(QFile::exists(m_dst + "renamed.png"));
        files.MoveAllFiles(m_src + "*.JPG", m_dir->path() + "/nowhere/");
        QVERIFY(QFile::exists(m_src + "D.JPG"));
        // A bare name is a file of the working folder.
        const QString working = QDir::currentPath();
        const auto back = qScopeGuard([&] { QDir::setCurrent(working); });
        QVERIFY(QDir::setCurrent(m_dst));
        files.MoveAllFiles("renamed.png", "again.png");
        QCOMPARE(QDir(m_dst).entryList(QDir::Files), QStringList({"a.jpg", "again.png", "b.jpg"}));
    }

    void copyFailuresReachTheCaller_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("error");
        QTest::addColumn<QByteArray>("targetAfter");
        QTest::newRow("plain copy") << "" << 0 << QByteArray("picture");
        QTest::newRow("a new name, given back") << "new name" << 0 << QByteArray("picture");
        QTest::newRow("existing target is overwritten") << "target exists" << 0 << QByteArray("picture");
        QTest::newRow("read-only target") << "target read-only" << 70 << QByteArray("old");
        QTest::newRow("missing source") << "no source" << 53 << QByteArray("<missing>");
        QTest::newRow("missing destination folder") << "no folder" << 76 << QByteArray("<missing>");
        QTest::newRow("onto itself") << "itself" << 70 << QByteArray("picture");
    }

    void copyFailuresReachTheCaller()
    {
        QFETCH(QString, situation);
        QFETCH(int, error);
        if (situation != "no source")
            test::writeBytes(m_src, "a.jpg", "picture");
        QString destination = situation == "itself" ? m_src : m_dst;
        if (situation == "no folder")
            destination = m_dir->path() + "/nowhere/";
        if (situation.startsWith("target"))
            test::writeBytes(m_dst, "a.jpg", "old");
        if (situation == "target read-only")
            makeReadOnly(m_dst + "a.jpg");
        const QString name = situation == "new name" ? QStringLiteral("b.jpg") : QStringLiteral("a.jpg");
        QString newName = situation == "new name" ? name : QString();
        QCOMPARE(errorOf([&] { m_files.Copy(m_src, destination, "a.jpg", newName); }), error);
        QTEST(contents(destination + name), "targetAfter");
        if (error == 0) // an empty new name is filled in with the name the copy took
            QCOMPARE(newName, name);
        if (situation != "no source")
            QCOMPARE(contents(m_src + "a.jpg"), QByteArray("picture"));
        // Nothing half-written is left beside the target.
        QCOMPARE(QDir(m_dst).entryList(QDir::Hidden | QDir::Files).filter(".pixdock"), QStringList());
    }

    void existenceTests_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("file");
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << "src/a.jpg" << true << false;
        QTest::newRow("hidden file") << "src/.h" << true << false;
        QTest::newRow("folder") << "src" << false << true;
        QTest::newRow("folder with separator") << "src/" << false << true;
        QTest::newRow("missing") << "src/none.jpg" << false << false;
        QTest::newRow("empty") << "" << false << false;
    }

    void existenceTests()
    {
        QFETCH(QString, path);
        test::writeBytes(m_src, "a.jpg", "x");
        test::writeBytes(m_src, ".h", "x");
        const QString full = path.isEmpty() ? path : m_dir->path() + "/" + path;
        QTEST(m_files.FileExists(full), "file");
        QTEST(m_files.FolderExists(full), "folder");
    }

    void makeFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("error");
        QTest::newRow("new folder") << "src/new" << 0;
        QTest::newRow("existing folder") << "src" << 58;
        QTest::newRow("missing parent") << "none/new" << 76;
    }

    void makeFolder()
    {
        QFETCH(QString, path);
        QFETCH(int, error);
        const QString full = m_dir->path() + "/" + path;
        QCOMPARE(errorOf([&] { m_files.MakeFolder(full); }), error);
        QCOMPARE(QFileInfo(full).isDir(), error != 76);
    }
};

PIXDOCK_REGISTER_TEST(TestClsFiles)
#include "tst_clsFiles.moc"
