// The folder listing: which entries are steps, their order, and Next/Previous in a folder.
#include "FolderListing.h"
#include "MessageBox.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "ViewingTestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace pixdock;

class TestFolderListing : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_folder;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.path();
        for (const char *name : {"a.jpg", "B.png", "c.txt", "img2.jpg", "img10.jpg", ".hidden.jpg"})
            test::writeBytes(m_folder, QString::fromUtf8(name), "x");
        QVERIFY(QDir(m_folder).mkdir(QStringLiteral("d folder")));
        QVERIFY(::mkfifo(QFile::encodeName(m_folder + "/fifo.jpg").constData(), 0600) == 0);
        QVERIFY(QFile::link(m_folder + "/a.jpg", m_folder + "/zz link.jpg"));
        QVERIFY(QFile::link(m_folder + "/gone.jpg", m_folder + "/broken.jpg"));
    }
    void init() { test::resetProgramState(); }
    void cleanup()
    {
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
        test::resetProgramState();
    }

    void onlyVisibleRegularFilesAreSteps()
    {
        // Never blocks on the pipe, leaves out folders, hidden files and broken links.
        QCOMPARE(viewing::folderListing(m_folder),
                 QStringList({"a.jpg", "B.png", "c.txt", "img2.jpg", "img10.jpg", "zz link.jpg"}));
    }

    void nextFileInFolder_data()
    {
        QTest::addColumn<QString>("folderEnd");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("nameAfter");
        for (const QString &end : {QString(), QStringLiteral("/")}) {
            const QByteArray tag = end.isEmpty() ? "" : " (folder with separator)";
            QTest::newRow("empty name gives the first file" + tag) << end << "" << "a.jpg" << "a.jpg";
            QTest::newRow("first file gives the second" + tag) << end << "a.jpg" << "B.png" << "a.jpg";
            QTest::newRow("a text file is a step" + tag) << end << "B.png" << "c.txt" << "B.png";
            QTest::newRow("digits by value" + tag) << end << "img2.jpg" << "img10.jpg" << "img2.jpg";
            QTest::newRow("last file gives nothing" + tag) << end << "zz link.jpg" << "" << "zz link.jpg";
            QTest::newRow("other letter case is not found" + tag) << end << "A.jpg" << "" << "A.jpg";
            QTest::newRow("missing name" + tag) << end << "missing.jpg" << "" << "missing.jpg";
            QTest::newRow("hidden file is not listed" + tag) << end << ".hidden.jpg" << "" << ".hidden.jpg";
            QTest::newRow("pipe is not listed" + tag) << end << "fifo.jpg" << "" << "fifo.jpg";
        }
    }

    void nextFileInFolder()
    {
        QFETCH(QString, folderEnd);
        QFETCH(QString, name);
        QFETCH(QString, next);
        QFETCH(QString, nameAfter);
        QString folder = m_folder + folderEnd;
        QCOMPARE(NextFileInFolder(folder, name), next);
        QCOMPARE(name, nameAfter);
        QCOMPARE(folder, m_folder + folderEnd);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void previousFileInFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("previous");
        QTest::newRow("first file") << "a.jpg" << FirstImageText;
        QTest::newRow("second file gives the first") << "B.png" << "a.jpg";
        QTest::newRow("digits by value") << "img10.jpg" << "img2.jpg";
        QTest::newRow("last file") << "zz link.jpg" << "img10.jpg";
        QTest::newRow("other letter case is not found") << "b.png" << "";
        QTest::newRow("no picture yet") << NoImageLoaded << "";
        QTest::newRow("missing name") << "missing.jpg" << "";
        QTest::newRow("empty name") << "" << "";
    }

    void previousFileInFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, previous);
        QCOMPARE(PreviousFileInFolder(m_folder, name), previous);
        QCOMPARE(PreviousFileInFolder(m_folder + "/", name), previous);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void emptyOrMissingFolderGivesNothingQuietly_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("empty folder") << true;
        QTest::newRow("missing folder") << false;
    }

    void emptyOrMissingFolderGivesNothingQuietly()
    {
        QFETCH(bool, exists);
        QTemporaryDir dir;
        QString folder = exists ? dir.path() : dir.path() + "/missing";
        QString name;
        QCOMPARE(NextFileInFolder(folder, name), QString());
        QCOMPARE(name, QString());
        QCOMPARE(PreviousFileInFolder(folder, QStringLiteral("a.jpg")), QString());
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void unreadableFolderIsReportedByNextOnly()
    {
        QTemporaryDir dir;
        QString loop = dir.path() + "/loop";
        QVERIFY(QFile::link(loop, loop));
        QString name = QStringLiteral("a.jpg");
        QCOMPARE(NextFileInFolder(loop, name), QString());
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().at(0).text.startsWith(QStringLiteral("An error has occurred\r\n")));
        QVERIFY(MessageBox::shown().at(0).text.size() > 23);
        QCOMPARE(MessageBox::shown().at(0).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(PreviousFileInFolder(loop, name), QString());
        QCOMPARE(MessageBox::shown().size(), 1);
    }

    void theRootFolderListsItsFiles()
    {
        QStringList expected = QDir(QStringLiteral("/")).entryList(QDir::Files);
        QStringList listed = viewing::folderListing(QStringLiteral("/"));
        expected.sort();
        listed.sort();
        QCOMPARE(listed, expected);
    }
};

PIXDOCK_REGISTER_TEST(TestFolderListing)
#include "tst_FolderListing.moc"
