// Remembered folder listings: reused only while the folder provably has not changed, so that
// stepping always answers as a fresh reading of the folder would.
#include "FileStamp.h"
#include "FolderListing.h"
#include "FolderListingCache.h"
#include "MessageBox.h"
#include "Pictures.h"
#include "RunTimeError.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "ViewingTestCase.h"
#include "ViewingTestFiles.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace pixdock;
using namespace pixdock::viewing;

Q_DECLARE_METATYPE(pixdock::viewing::FileStamp)
Q_DECLARE_METATYPE(std::optional<pixdock::viewing::FileStamp>)

namespace {
constexpr qint64 Second = 1'000'000'000;

// A folder stamp whose last change lies `changedAgo` before the reading made at `readAt`.
FileStamp stampChanged(qint64 readAt, qint64 changedAgo)
{
    FileStamp s;
    s.device = 2049;
    s.inode = 1234;
    s.size = 4096;
    s.modifiedNs = readAt - changedAgo;
    s.changedNs = readAt - changedAgo;
    return s;
}

} // namespace

class TestFolderListingCache : public test::ViewerTestCase
{
    Q_OBJECT
private slots:
    void init()
    {
        ViewerTestCase::init();
        for (const char *name : {"a.png", "b.png", "c.png"})
            test::writeBytes(folder(), name, "x");
    }

    void aReadingIsReusedOnlyWhileTheFolderIsProvablyUnchanged_data()
    {
        QTest::addColumn<FileStamp>("then");
        QTest::addColumn<std::optional<FileStamp>>("now");
        QTest::addColumn<bool>("reused");
        const qint64 readAt = 1'700'000'000 * Second;
        const FileStamp old = stampChanged(readAt, 60 * Second);
        auto with = [&](auto change) {
            FileStamp s = old;
            change(s);
            return std::optional<FileStamp>(s);
        };
        QTest::newRow("unchanged, last changed a minute before the reading") << old << std::optional(old) << true;
        QTest::newRow("unchanged, last changed just over the settle time before")
            << stampChanged(readAt, StampSettleNs) << std::optional(stampChanged(readAt, StampSettleNs)) << true;
        // A change right after the reading, within the file system's timestamp tick, would
        // leave these very stamps: the reading cannot be trusted.
        QTest::newRow("racy: last changed within the same second as the reading")
            << stampChanged(readAt, Second / 2) << std::optional(stampChanged(readAt, Second / 2)) << false;
        QTest::newRow("racy: last changed at the moment of the reading")
            << stampChanged(readAt, 0) << std::optional(stampChanged(readAt, 0)) << false;
        QTest::newRow("racy: changed 'after' the reading (a clock ahead of ours)")
            << stampChanged(readAt, -Second) << std::optional(stampChanged(readAt, -Second)) << false;
        QTest::newRow("modified since") << old << with([](FileStamp &s) { s.modifiedNs += 1; }) << false;
        QTest::newRow("modification time set back by hand, change time moved")
            << old << with([](FileStamp &s) { s.changedNs += Second; }) << false;
        QTest::newRow("replaced by another folder of the same times")
            << old << with([](FileStamp &s) { s.inode += 1; }) << false;
        QTest::newRow("another file system mounted there") << old << with([](FileStamp &s) { s.device += 1; }) << false;
        QTest::newRow("grown") << old << with([](FileStamp &s) { s.size += 4096; }) << false;
        QTest::newRow("gone") << old << std::optional<FileStamp>() << false;
    }

    void aReadingIsReusedOnlyWhileTheFolderIsProvablyUnchanged()
    {
        QFETCH(FileStamp, then);
        QFETCH(std::optional<FileStamp>, now);
        QFETCH(bool, reused);
        QCOMPARE(stampStillHolds(then, now, 1'700'000'000 * Second), reused);
    }

    void aChangeRightAfterAStepIsSeenByTheNext_data()
    {
        QTest::addColumn<QString>("change"); // what happens between the steps
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("previous");
        QTest::newRow("a file added") << "add ab.png" << "a.png" << "ab.png" << FirstImageText;
        QTest::newRow("the next file removed") << "remove b.png" << "a.png" << "c.png" << FirstImageText;
        QTest::newRow("the current file removed") << "remove b.png" << "b.png" << "" << "";
        QTest::newRow("the next file renamed to the end") << "rename b.png zz.png" << "c.png" << "zz.png" << "a.png";
        QTest::newRow("the current file renamed") << "rename b.png bb.png" << "bb.png" << "c.png" << "a.png";
        QTest::newRow("a file renamed to the front") << "rename c.png 0.png" << "a.png" << "b.png" << "0.png";
        QTest::newRow("a file replaced by a folder") << "folder b.png" << "a.png" << "c.png" << FirstImageText;
    }

    void aChangeRightAfterAStepIsSeenByTheNext()
    {
        QFETCH(QString, change);
        QFETCH(QString, from);
        QFETCH(QString, next);
        QFETCH(QString, previous);
        // The first steps read the folder; the change follows at once, within the same second.
        QString f = folder();
        QString name = QStringLiteral("a.png");
        QCOMPARE(NextFileInFolder(f, name), QStringLiteral("b.png"));
        QCOMPARE(PreviousFileInFolder(f, QStringLiteral("b.png")), QStringLiteral("a.png"));

        const QStringList words = change.split(' ');
        if (words[0] == "add")
            test::writeBytes(folder(), words[1], "x");
        else if (words[0] == "remove")
            QVERIFY(QFile::remove(path(words[1])));
        else if (words[0] == "rename")
            QVERIFY(QFile::rename(path(words[1]), path(words[2])));
        else if (words[0] == "folder")
            QVERIFY(QFile::remove(path(words[1])) && QDir(folder()).mkdir(words[1]));

        name = from;
        QCOMPARE(NextFileInFolder(f, name), next);
        QCOMPARE(PreviousFileInFolder(f, from), previous);
        QCOMPARE(test::walkedWithNext(folder()), folderListing(folder()));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void aFolderChangedMomentsAgoIsReadAgain()
    {
        // The folder was written just now, so a change within the same tick could go unseen
        // by its stamp: every call reads it afresh until it has settled.
        FolderListingCache cache;
        const auto first = cache.listing(folder());
        const auto second = cache.listing(folder());
        QVERIFY(first.get() != second.get());
        QCOMPARE(*second, QStringList({"a.png", "b.png", "c.png"}));
    }

    void aSettledUnchangedFolderIsNotReadAgain()
    {
        // With no settle time the folder counts as settled at once.
        FolderListingCache cache(0);
        const auto first = cache.listing(folder());
        QCOMPARE(cache.listing(folder()).get(), first.get());
        QCOMPARE(cache.listing(folder() + "/").get(), first.get());
        QCOMPARE(*first, QStringList({"a.png", "b.png", "c.png"}));
    }

    void onlyTheLatestFoldersAreKept_data()
    {
        QTest::addColumn<int>("folders");
        QTest::addColumn<int>("names");
        QTest::addColumn<bool>("firstKept"); // after reading the first folder, then a second
        QTest::newRow("room for both") << 2 << 6 << true;
        QTest::newRow("one folder kept") << 1 << 6 << false;
        QTest::newRow("too many names for both") << 2 << 5 << false;
        QTest::newRow("the latest is kept whatever its size") << 2 << 1 << false;
    }

    void onlyTheLatestFoldersAreKept()
    {
        QFETCH(int, folders);
        QFETCH(int, names);
        QFETCH(bool, firstKept);
        QTemporaryDir second;
        for (const char *name : {"x.png", "y.png", "z.png"})
            test::writeBytes(second.path(), name, "x");
        FolderListingCache cache(0, folders, names);
        const auto first = cache.listing(folder());
        const auto other = cache.listing(second.path());
        QCOMPARE(cache.listing(second.path()).get(), other.get());
        QCOMPARE(cache.listing(folder()).get() == first.get(), firstKept);
    }

    void aLinkWhoseTargetComesOrGoesIsSeenThoughTheFolderIsUnchanged()
    {
        QTemporaryDir elsewhere;
        const QString target = test::writeBytes(elsewhere.path(), "t.png", "x");
        QVERIFY(QFile::link(target, path("link.png")));
        FolderListingCache cache(0);
        QCOMPARE(*cache.listing(folder()), QStringList({"a.png", "b.png", "c.png", "link.png"}));

        QVERIFY(QFile::remove(target));
        QCOMPARE(*cache.listing(folder()), QStringList({"a.png", "b.png", "c.png"}));
        test::writeBytes(elsewhere.path(), "t.png", "x");
        QCOMPARE(*cache.listing(folder()), QStringList({"a.png", "b.png", "c.png", "link.png"}));
    }

    // A listing remembered in one locale is sorted afresh when the user's locale changes.
    void aRememberedListingFollowsALocaleChange()
    {
        test::writeBytes(folder(), QStringLiteral("ä.png"), "x");
        const auto backToC = qScopeGuard([] { test::switchLocale(QLocale::c()); });
        test::switchLocale(QLocale(QLocale::German, QLocale::Germany));
        FolderListingCache cache(0);
        QCOMPARE(*cache.listing(folder()), QStringList({"a.png", QStringLiteral("ä.png"), "b.png", "c.png"}));
        test::switchLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
        QCOMPARE(*cache.listing(folder()), QStringList({"a.png", "b.png", "c.png", QStringLiteral("ä.png")}));
    }

    void aFolderThatCannotBeReadFailsEveryTime()
    {
        const QString loop = folder() + "/loop";
        QVERIFY(QFile::link(loop, loop));
        FolderListingCache cache(0);
        for (int i = 0; i < 2; ++i)
            QVERIFY_THROWS_EXCEPTION(RunTimeError, cache.listing(loop));
        QVERIFY(cache.listing(folder() + "/missing")->isEmpty());
    }

    void steppingFindsEveryNameOfALargeFolderInOrder()
    {
        // Names that sort by folded letters, digit runs and exact ties: the lookup by halving
        // must agree with the order the listing was sorted in.
        QRandomGenerator random(20240611);
        const QStringList stems{"img", "IMG", "Img_", "dsc", "a", "A", "holiday ", "x0", "x00"};
        QSet<QString> names;
        while (names.size() < 400) {
            QString n = stems[random.bounded(int(stems.size()))] + QString::number(random.bounded(200));
            if (random.bounded(3) == 0)
                n = n.toUpper();
            names.insert(n + (random.bounded(2) ? ".jpg" : ".JPG"));
        }
        for (const QString &n : names)
            test::writeBytes(folder(), n, {});
        const QStringList listed = folderListing(folder());
        QCOMPARE(listed.size(), 403);
        QCOMPARE(test::walkedWithNext(folder()), listed);
        for (qsizetype i = 0; i < listed.size(); ++i)
            QCOMPARE(indexInListing(listed, listed[i]), i);
        QCOMPARE(indexInListing(listed, QStringLiteral("img1000.jpg ")), -1);
    }
};

PIXDOCK_REGISTER_TEST(TestFolderListingCache)
#include "tst_FolderListingCache.moc"
