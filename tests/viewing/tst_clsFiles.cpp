// clsFiles: splitting a path into its folder, name and type, as the viewer and the stepping
// commands do. (Its other members, which delete, move and copy files and make folders,
// complete the class's interface; the program calls none of them.)
#include "ViewingTestCase.h"
#include "clsFiles.h"

class TestClsFiles : public QObject
{
    Q_OBJECT
    clsFiles m_files;

private slots:
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
};

PIXDOCK_REGISTER_TEST(TestClsFiles)
#include "tst_clsFiles.moc"
