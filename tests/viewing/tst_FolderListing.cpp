// The folder listing: which entries are steps, their order, Next/Previous in a folder, and
// remembered listings, reused only while the folder provably has not changed, so that stepping
// always answers as a fresh reading of the folder would.
#include "FolderListingCache.h"
#include "ViewingTestCase.h"

#include <QLocale>

Q_DECLARE_METATYPE(pixdock::viewing::FileStamp)
Q_DECLARE_METATYPE(std::optional<pixdock::viewing::FileStamp>)

namespace {
constexpr qint64 Second = 1'000'000'000;
constexpr qint64 ReadAt = 1'700'000'000 * Second;

// A folder stamp whose last change lies `changedAgo` before the reading made at ReadAt.
FileStamp stampChanged(qint64 changedAgo)
{
    return {.device = 2049, .inode = 1234, .size = 4096, .modifiedNs = ReadAt - changedAgo, .changedNs = ReadAt - changedAgo};
}
} // namespace

class TestFolderListing : public test::ViewerTestCase
{
    Q_OBJECT
    QTemporaryDir m_odd; // a folder of every kind of entry, made once

private slots:
    void initTestCase()
    {
        for (const QString entry : {"a.jpg:text", "B.png:text", "c.txt:text", "img2.jpg:text", "img10.jpg:text",
                                    ".hidden.jpg:text", "d folder:folder", "fifo.jpg:pipe"})
            test::writeKind(m_odd.path(), entry.section(':', 0, 0), entry.section(':', 1));
        QVERIFY(QFile::link(m_odd.path() + "/a.jpg", m_odd.path() + "/zz link.jpg"));
        QVERIFY(QFile::link(m_odd.path() + "/gone.jpg", m_odd.path() + "/broken.jpg"));
    }
    void init()
    {
        ViewerTestCase::init();
        for (const char *name : {"a.png", "b.png", "c.png"})
            test::writeBytes(folder(), name, "x");
    }

    // Never blocks on the pipe, leaves out folders, hidden files and broken links; the root
    // folder lists its files; an empty or missing folder gives nothing, quietly. A folder that
    // cannot be read is said to be so by each Next, the failure never remembered as an empty
    // folder; Previous is quiet.
    void onlyVisibleRegularFilesAreSteps()
    {
        QCOMPARE(folderListing(m_odd.path()), QStringList({"a.jpg", "B.png", "c.txt", "img2.jpg", "img10.jpg", "zz link.jpg"}));
        const auto sorted = [](QStringList names) {
            names.sort();
            return names;
        };
        QCOMPARE(sorted(folderListing("/")), sorted(QDir("/").entryList(QDir::Files)));
        QVERIFY(QDir(folder()).mkdir("empty"));
        for (QString f : {folder() + "/empty", folder() + "/missing"}) {
            QString name;
            QCOMPARE(NextFileInFolder(f, name) + name + PreviousFileInFolder(f, "a.jpg"), QString());
        }
        QVERIFY(MessageBox::shown().isEmpty());
        QString loop = folder() + "/loop", name = QStringLiteral("a.jpg");
        QVERIFY(QFile::link(loop, loop));
        QCOMPARE(NextFileInFolder(loop, name) + NextFileInFolder(loop, name) + PreviousFileInFolder(loop, name), QString());
        QCOMPARE(MessageBox::shown().size(), 2);
        QVERIFY(MessageBox::shown().at(0).text.startsWith("An error has occurred\r\n") && MessageBox::shown().at(0).text.size() > 23);
        QCOMPARE(MessageBox::shown().at(1).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        MessageBox::clearRecord();
    }

    // Next, and Previous, from an empty name, the ends, the middle and names not listed.
    void nextFileInFolder_data()
    {
        test::columns<QString, QString, QString>("name", "next", "previous");
        QTest::newRow("empty name: the first file next") << "" << "a.jpg" << "";
        QTest::newRow("the first file") << "a.jpg" << "B.png" << FirstImageText;
        QTest::newRow("digits by value") << "img2.jpg" << "img10.jpg" << "c.txt";
        QTest::newRow("the last file") << "zz link.jpg" << "" << "img10.jpg";
        QTest::newRow("other letter case is not found") << "A.jpg" << "" << "";
        QTest::newRow("missing name") << "missing.jpg" << "" << "";
    }
    void nextFileInFolder()
    {
        const auto [name, next, previous] = test::fetch<QString, QString, QString>("name", "next", "previous");
        for (const QString &end : {QString(), QStringLiteral("/")}) {
            QString f = m_odd.path() + end, n = name;
            // Next, the name it leaves (the file it found, for an empty one), the folder as it
            // was, and Previous.
            QCOMPARE(QStringList({NextFileInFolder(f, n), n, f, PreviousFileInFolder(f, name)}),
                     QStringList({next, name.isEmpty() ? next : name, m_odd.path() + end, previous}));
        }
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void aReadingIsReusedOnlyWhileTheFolderIsProvablyUnchanged_data()
    {
        test::columns<FileStamp, std::optional<FileStamp>, bool>("then", "now", "reused");
        const FileStamp old = stampChanged(60 * Second);
        auto with = [&](auto change) { FileStamp s = old; change(s); return std::optional<FileStamp>(s); };
        // The stamp unchanged since the reading.
        QTest::newRow("unchanged, last changed a minute before the reading") << old << std::optional(old) << true;
        const FileStamp settled = stampChanged(StampSettleNs);
        QTest::newRow("unchanged, last changed just over the settle time before") << settled << std::optional(settled) << true;
        // A change right after the reading, within the file system's timestamp tick, would
        // leave these very stamps: the reading cannot be trusted. (Within the same second as the
        // reading, or at its moment: a change right after a step, aChangeRightAfterAStepIsSeenByTheNext.)
        const FileStamp ahead = stampChanged(-Second);
        QTest::newRow("racy: changed 'after' the reading (a clock ahead of ours)") << ahead << std::optional(ahead) << false;
        QTest::newRow("modified since") << old << with([](FileStamp &s) { s.modifiedNs += 1; }) << false;
        QTest::newRow("modification time set back by hand, change time moved")
            << old << with([](FileStamp &s) { s.changedNs += Second; }) << false;
        QTest::newRow("replaced by another folder of the same times") << old << with([](FileStamp &s) { s.inode += 1; }) << false;
        QTest::newRow("another file system mounted there") << old << with([](FileStamp &s) { s.device += 1; }) << false;
        QTest::newRow("grown") << old << with([](FileStamp &s) { s.size += 4096; }) << false;
        QTest::newRow("gone") << old << std::optional<FileStamp>() << false;
    }
    void aReadingIsReusedOnlyWhileTheFolderIsProvablyUnchanged()
    {
        const auto [then, now] = test::fetch<FileStamp, std::optional<FileStamp>>("then", "now");
        QTEST(stampStillHolds(then, now, ReadAt), "reused");
    }

    void aChangeRightAfterAStepIsSeenByTheNext_data()
    {
        // change: what happens between the steps
        test::columns<QString, QString, QString, QString>("change", "from", "next", "previous");
        QTest::newRow("a file added") << "add ab.png" << "a.png" << "ab.png" << FirstImageText;
        QTest::newRow("the current file removed") << "remove b.png" << "b.png" << "" << "";
        QTest::newRow("the current file renamed") << "rename b.png bb.png" << "bb.png" << "c.png" << "a.png";
    }
    void aChangeRightAfterAStepIsSeenByTheNext()
    {
        const auto [change, from] = test::fetch<QString, QString>("change", "from");
        // The first steps read the folder; the change follows at once, within the same second.
        QString f = folder(), name = QStringLiteral("a.png");
        QCOMPARE(QStringList({NextFileInFolder(f, name), PreviousFileInFolder(f, "b.png")}), QStringList({"b.png", "a.png"}));
        const QStringList words = change.split(' ');
        if (words[0] == "add")
            test::writeBytes(folder(), words[1], "x");
        else if (words[0] == "rename")
            QVERIFY(QFile::rename(path(words[1]), path(words[2])));
        else
            QVERIFY(QFile::remove(path(words[1])));
        name = from;
        QTEST(NextFileInFolder(f, name), "next");
        QTEST(PreviousFileInFolder(f, from), "previous");
        QCOMPARE(test::walkedWithNext(folder()), folderListing(folder()));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // A settled folder is read once, with or without its trailing separator, yet a link whose
    // target comes or goes is seen though the folder is unchanged, and a change of the user's
    // locale sorts it afresh. A folder written moments ago may still change within its stamp's
    // tick, so it is read every time.
    void aRememberedListingIsReusedOnlyWhileItStillHolds()
    {
        test::writeBytes(folder(), QStringLiteral("ä.png"), "x");
        QTemporaryDir elsewhere;
        const QString target = test::writeBytes(elsewhere.path(), "t.png", "x");
        QVERIFY(QFile::link(target, path("link.png")));
        const auto backToC = qScopeGuard([] { test::switchLocale(QLocale::c()); });
        test::switchLocale(QLocale(QLocale::German, QLocale::Germany));
        FolderListingCache cache(0);
        QCOMPARE(cache.listing(folder() + "/").get(), cache.listing(folder()).get());
        const QStringList all{"a.png", QStringLiteral("ä.png"), "b.png", "c.png", "link.png"};
        QCOMPARE(*cache.listing(folder()), all);
        QVERIFY(QFile::remove(target));
        QCOMPARE(*cache.listing(folder()), all.mid(0, 4));
        test::writeBytes(elsewhere.path(), "t.png", "x");
        QCOMPARE(*cache.listing(folder()), all);
        test::switchLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
        QCOMPARE(*cache.listing(folder()), QStringList({"a.png", "b.png", "c.png", "link.png", QStringLiteral("ä.png")}));
        FolderListingCache fresh;
        QVERIFY(fresh.listing(folder()).get() != fresh.listing(folder()).get());
    }

    // Names that sort by folded letters, digit runs and exact ties: the lookup by halving must
    // agree with the order the listing was sorted in.
    void steppingFindsEveryNameOfAFolderInOrder()
    {
        for (const QString stem : {"img", "IMG", "Img_", "dsc", "a", "A", "holiday ", "x0", "x00"})
            for (const char *number : {"1", "01", "2", "10", "007", "199"})
                for (const char *suffix : {".jpg", ".JPG"})
                    test::writeBytes(folder(), stem + number + suffix, {});
        const QStringList listed = folderListing(folder());
        QCOMPARE(listed.size(), 3 + 9 * 6 * 2 - 2); // "x0" "01" and "x00" "1" make one name
        QCOMPARE(test::walkedWithNext(folder()), listed);
        for (qsizetype i = 0; i < listed.size(); ++i)
            QCOMPARE(indexInListing(listed, listed[i]), i);
        QCOMPARE(indexInListing(listed, "img1000.jpg "), -1);
    }
};

PIXDOCK_REGISTER_TEST(TestFolderListing)
#include "tst_FolderListing.moc"
