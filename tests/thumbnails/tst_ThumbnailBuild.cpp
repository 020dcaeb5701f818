// Making thumbnails: the squeeze to 100 x 100 from the decoded picture (two-colour pictures
// averaged, not sampled into noise; a long thin picture keeping its detail), files that give
// none, every picture settled, the wanted pictures first, the bounded memory, and stopping a
// build part-way.
#include "Pictures.h"
#include "TestRegistry.h"
#include "ThumbnailBuild.h"
#include "ThumbnailLoader.h"
#include "ThumbnailMemory.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>
#include <optional>

using namespace pixdock;
using namespace pixdock::thumbnails;

namespace {

// A picture whose first half (left, or top when it is taller than wide) is red, the rest blue.
QString writeHalves(const QString &folder, const QString &name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    if (size.width() >= size.height())
        painter.fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    else
        painter.fillRect(0, 0, size.width(), size.height() / 2, Qt::red);
    painter.end();
    const QString path = QDir(folder).filePath(name);
    image.save(path);
    return path;
}

bool reddish(QColor c) { return c.red() > 200 && c.blue() < 60; }
bool bluish(QColor c) { return c.blue() > 200 && c.red() < 60; }

// A two-colour picture of one-pixel stripes, black and white, in `format` (a 1-bit palette).
QString writeStripes(const QString &folder, const QString &name, const QByteArray &format)
{
    QImage image(800, 600, QImage::Format_Mono);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, (x + y) % 2);
    const QString path = QDir(folder).filePath(name);
    QImageWriter writer(path, format);
    if (!writer.write(image))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The lightest and darkest grey of a picture.
std::pair<int, int> greyRange(const QImage &image)
{
    int low = 255, high = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            low = std::min(low, grey);
            high = std::max(high, grey);
        }
    }
    return {low, high};
}

} // namespace

class TestThumbnailBuild : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_pictures.emplace();
        m_cacheHome.emplace();
        m_cache = ThumbnailCache(m_cacheHome->filePath(QStringLiteral("thumbnails")));
    }

    void aPictureIsSqueezedTo100By100NotCropped_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide png") << "wide.png" << QSize(400, 100);
        QTest::newRow("wide jpeg") << "wide.jpg" << QSize(400, 100);
        QTest::newRow("wide bitmap") << "wide.bmp" << QSize(400, 100);
        QTest::newRow("tall jpeg") << "tall.jpg" << QSize(100, 400);
        QTest::newRow("large jpeg") << "large.jpg" << QSize(4000, 1000);
        QTest::newRow("smaller than a thumbnail") << "small.png" << QSize(40, 10);
    }
    void aPictureIsSqueezedTo100By100NotCropped()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QString path = writeHalves(m_pictures->path(), name, size);
        const QImage thumbnail = makeThumbnail(path, m_cache);
        QCOMPARE(thumbnail.size(), QSize(100, 100));
        // Both halves are there, each filling half of the square: nothing was cut off.
        const bool wide = size.width() >= size.height();
        const QPoint first = wide ? QPoint(20, 50) : QPoint(50, 20);
        const QPoint second = wide ? QPoint(80, 50) : QPoint(50, 80);
        QVERIFY(reddish(thumbnail.pixelColor(first)));
        QVERIFY(bluish(thumbnail.pixelColor(second)));
        QVERIFY(reddish(thumbnail.pixelColor(QPoint(2, 2))));
        QVERIFY(bluish(thumbnail.pixelColor(QPoint(97, 97))));
    }

    void aFileThatIsNoPictureGivesNoThumbnail_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("text named .jpg") << "text";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("icon") << "icon";
        QTest::newRow("folder") << "folder";
    }
    void aFileThatIsNoPictureGivesNoThumbnail()
    {
        QFETCH(QString, kind);
        const QString folder = m_pictures->path();
        QString path;
        if (kind == "missing")
            path = QDir(folder).filePath(QStringLiteral("gone.jpg"));
        else if (kind == "text")
            path = test::writeBytes(folder, QStringLiteral("notes.jpg"), "not a picture at all");
        else if (kind == "empty")
            path = test::writeBytes(folder, QStringLiteral("empty.png"), {});
        else if (kind == "icon")
            path = test::writePicture(folder, QStringLiteral("app.ico"), {32, 32});
        else {
            path = QDir(folder).filePath(QStringLiteral("sub.jpg"));
            QDir().mkpath(path);
        }
        QVERIFY(makeThumbnail(path, m_cache).isNull());
        QVERIFY(!QDir(m_cache.root() + QStringLiteral("/normal")).exists()
                || QDir(m_cache.root() + QStringLiteral("/normal")).isEmpty());
    }

    void aTwoColourPictureBecomesEvenGreyNotNoise_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("1-bit palette png") << "stripes.png" << QByteArray("png");
        QTest::newRow("two-colour tiff") << "fax.tif" << QByteArray("tiff");
    }
    void aTwoColourPictureBecomesEvenGreyNotNoise()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        const QString path = writeStripes(m_pictures->path(), name, format);
        const QImage sheet = makeThumbnail(path, m_cache);
        QCOMPARE(sheet.size(), QSize(100, 100));
        // Half black, half white, finely mixed: every pixel of the thumbnail and of the cache
        // entry is the same mid grey.
        const auto [low, high] = greyRange(sheet);
        QVERIFY2(low > 100 && high < 156, qPrintable(QStringLiteral("%1..%2").arg(low).arg(high)));
        const CacheEntry entry = m_cache.read([&] {
            PictureStamp stamp;
            stampPicture(path, stamp);
            return stamp;
        }());
        QCOMPARE(entry.image.size(), QSize(128, 96));
        const auto [entryLow, entryHigh] = greyRange(entry.image);
        QVERIFY2(entryLow > 100 && entryHigh < 156, qPrintable(QStringLiteral("%1..%2").arg(entryLow).arg(entryHigh)));
    }

    void aLongThinPictureKeepsItsDetailOnTheSheet_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("png") << "strip.png";
        QTest::newRow("jpeg") << "strip.jpg";
    }
    void aLongThinPictureKeepsItsDetailOnTheSheet()
    {
        QFETCH(QString, name);
        // 4000 x 40: its cache entry is 128 x 1, far too thin to stretch to 100 x 100.
        QImage image(4000, 40, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QPainter(&image).fillRect(0, 0, 4000, 20, Qt::red);
        const QString path = m_pictures->filePath(name);
        QVERIFY(image.save(path));
        // Made from the decoded picture, and again when the thin cache entry is there.
        for (int round = 0; round < 2; ++round) {
            const QImage sheet = makeThumbnail(path, m_cache);
            QCOMPARE(sheet.size(), QSize(100, 100));
            QVERIFY2(reddish(sheet.pixelColor(50, 10)), qPrintable(QString::number(round)));
            QVERIFY2(bluish(sheet.pixelColor(50, 90)), qPrintable(QString::number(round)));
        }
        PictureStamp stamp;
        QVERIFY(stampPicture(path, stamp));
        QCOMPARE(m_cache.read(stamp).image.size(), QSize(128, 1));
    }

    void anEntryServesTheSheetUnlessItIsMuchThinnerThanIt_data()
    {
        QTest::addColumn<QSize>("entry");
        QTest::addColumn<QSize>("original");
        QTest::addColumn<bool>("serves");
        QTest::newRow("camera") << QSize(128, 96) << QSize(4000, 3000) << true;
        QTest::newRow("half the sheet") << QSize(128, 50) << QSize(1280, 500) << true;
        QTest::newRow("thin strip") << QSize(128, 1) << QSize(4000, 30) << false;
        QTest::newRow("thin, size unknown") << QSize(128, 3) << QSize() << false;
        QTest::newRow("a small picture is its own entry") << QSize(40, 10) << QSize(40, 10) << true;
    }
    void anEntryServesTheSheetUnlessItIsMuchThinnerThanIt()
    {
        QFETCH(QSize, entry);
        QFETCH(QSize, original);
        QFETCH(bool, serves);
        QCOMPARE(entryServesSheet(entry, original, SheetSize), serves);
    }

    void everyPictureIsSettledAndABadFileHasNone()
    {
        QStringList paths;
        for (int i = 0; i < 50; ++i) {
            const QString name = QStringLiteral("p%1.png").arg(i, 2, 10, QLatin1Char('0'));
            paths << (i == 17 ? test::writeBytes(m_pictures->path(), name, "broken")
                              : test::writePicture(m_pictures->path(), name, {200 + 40 * (i % 7), 150}));
        }
        ThumbnailBuild build;
        QSignalSpy ready(&build, &ThumbnailBuild::thumbnailReady);
        QSignalSpy none(&build, &ThumbnailBuild::noThumbnail);
        QSignalSpy progress(&build, &ThumbnailBuild::progressChanged);
        QSignalSpy finished(&build, &ThumbnailBuild::finished);
        QList<int> all(50);
        std::iota(all.begin(), all.end(), 0);
        build.setWanted(all, 0);
        build.start(paths, m_cache);
        QVERIFY(finished.wait(20000));

        QCOMPARE(ready.size(), 49);
        for (const QList<QVariant> &signal : ready) {
            QVERIFY(signal.at(0).toInt() != 17);
            QCOMPARE(build.image(signal.at(0).toInt()).size(), QSize(100, 100));
        }
        QCOMPARE(none.size(), 1);
        QCOMPARE(none.first().at(0).toInt(), 17);
        QCOMPARE(progress.last().at(0).toInt(), 50);
        QCOMPARE(progress.last().at(1).toInt(), 50);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!build.isRunning());
    }

    void thePicturesWantedGoBeforeTheRest()
    {
        QStringList paths;
        const QString picture = test::writePicture(m_pictures->path(), QStringLiteral("a.png"), {300, 200});
        for (int i = 0; i < 200; ++i) {
            paths << m_pictures->filePath(QStringLiteral("link%1.png").arg(i, 3, 10, QLatin1Char('0')));
            QVERIFY(QFile::link(picture, paths.last()));
        }
        // One worker: the tasks end in the order they are queued.
        ThumbnailBuild build;
        build.setWorkerCount(1);
        // Which picture came, and how many were settled before it.
        QList<std::pair<int, int>> ready;
        connect(&build, &ThumbnailBuild::thumbnailReady, this,
                [&](int picture) { ready.append({picture, build.settled()}); });
        QSignalSpy finished(&build, &ThumbnailBuild::finished);
        build.setWanted({150, 151, 152}, 151);
        build.start(paths, m_cache);
        QVERIFY(QTest::qWaitFor([&] { return ready.size() >= 3; }, 20000));
        QCOMPARE(ready.at(0), std::pair(150, 0));
        QCOMPARE(ready.at(1), std::pair(151, 1));
        QCOMPARE(ready.at(2), std::pair(152, 2));

        // Scrolled elsewhere while it runs: those come next, after at most the two tasks
        // already queued.
        const int settledBefore = build.settled();
        const qsizetype readyBefore = ready.size();
        build.setWanted({190, 191}, 190);
        QVERIFY(QTest::qWaitFor([&] { return ready.size() >= readyBefore + 2; }, 20000));
        QCOMPARE(ready.at(readyBefore).first, 190);
        QCOMPARE(ready.at(readyBefore + 1).first, 191);
        QVERIFY(ready.at(readyBefore).second <= settledBefore + 2);
        QVERIFY(finished.wait(60000));
    }

    void memoryKeepsABoundedNumberThoseNearestToTheScreen()
    {
        ThumbnailMemory memory(20);
        memory.setFocus(500);
        QImage picture(4, 4, QImage::Format_RGB32);
        for (int i = 0; i < 1000; i += 10)
            memory.insert(i, picture);
        QVERIFY(memory.size() <= 20);
        QVERIFY(memory.contains(500));
        QVERIFY(memory.contains(420));
        QVERIFY(!memory.contains(0));
        int near = 0;
        for (int i = 0; i < 1000; i += 10)
            near += memory.contains(i) && std::abs(i - 500) <= 100 ? 1 : 0;
        QVERIFY2(near >= 15, qPrintable(QString::number(near)));
        QVERIFY(memoryCapacityFor(SheetSize) * 100 * 100 * 4 <= 64 * 1024 * 1024);
    }

    void anEmptyBuildFinishesAtOnce()
    {
        ThumbnailBuild build;
        QSignalSpy finished(&build, &ThumbnailBuild::finished);
        build.start({}, m_cache);
        QCOMPARE(finished.size(), 1);
    }

    void stoppingABuildPartWayEndsItWithNothingMoreDone()
    {
        // A quick picture first, then many paths linking to one large bitmap, each decoded
        // whole: the build has long to run after the first thumbnail.
        QStringList paths{test::writePicture(m_pictures->path(), QStringLiteral("first.png"), {50, 50})};
        const QString large
            = test::writePicture(m_pictures->path(), QStringLiteral("large.bmp"), { 4000, 3000 });
        for (int i = 0; i < 40; ++i) {
            paths << m_pictures->filePath(QStringLiteral("link%1.bmp").arg(i));
            QVERIFY(QFile::link(large, paths.last()));
        }
        ThumbnailBuild build;
        QSignalSpy progress(&build, &ThumbnailBuild::progressChanged);
        QSignalSpy finished(&build, &ThumbnailBuild::finished);
        build.start(paths, m_cache);
        QVERIFY(progress.wait(20000));
        build.stop();
        QVERIFY(!build.isRunning());

        // Nothing runs once stop() returns: the cache does not grow and no signal follows.
        const QDir entries(m_cache.root() + QStringLiteral("/normal"));
        const qsizetype written = entries.entryList(QDir::Files).size();
        const qsizetype reported = progress.size();
        QVERIFY(build.settled() < paths.size() / 2);
        QCoreApplication::processEvents();
        QCOMPARE(progress.size(), reported);
        QCOMPARE(finished.size(), 0);
        QCOMPARE(entries.entryList(QDir::Files).size(), written);
    }

    void destroyingABuildWhileItRunsIsSafe()
    {
        QStringList paths;
        for (int i = 0; i < 40; ++i)
            paths << writeHalves(m_pictures->path(), QStringLiteral("p%1.jpg").arg(i), {1600, 1200});
        auto *build = new ThumbnailBuild;
        QSignalSpy ready(build, &ThumbnailBuild::thumbnailReady);
        build->start(paths, m_cache);
        delete build;
        QCoreApplication::processEvents();
        QCOMPARE(ready.size(), 0);
    }

private:
    std::optional<QTemporaryDir> m_pictures;
    std::optional<QTemporaryDir> m_cacheHome;
    ThumbnailCache m_cache;
};

PIXDOCK_REGISTER_TEST(TestThumbnailBuild)
#include "tst_ThumbnailBuild.moc"
