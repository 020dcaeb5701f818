// Making thumbnails: the squeeze to 100 x 100, files that give none, the order in which the
// worker pool hands them back, and stopping a build part-way.
#include "Pictures.h"
#include "TestRegistry.h"
#include "ThumbnailBuild.h"
#include "ThumbnailLoader.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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

    void thumbnailsArriveInPathOrderAndABadFileIsPassedOver()
    {
        QStringList paths;
        for (int i = 0; i < 50; ++i) {
            const QString name = QStringLiteral("p%1.png").arg(i, 2, 10, QLatin1Char('0'));
            paths << (i == 17 ? test::writeBytes(m_pictures->path(), name, "broken")
                              : test::writePicture(m_pictures->path(), name, {200 + 40 * (i % 7), 150}));
        }
        ThumbnailBuild build;
        QSignalSpy ready(&build, &ThumbnailBuild::thumbnailReady);
        QSignalSpy progress(&build, &ThumbnailBuild::progressChanged);
        QSignalSpy finished(&build, &ThumbnailBuild::finished);
        build.start(paths, m_cache);
        QVERIFY(finished.wait(20000));

        QCOMPARE(ready.size(), 49);
        QList<int> indexes;
        for (const QList<QVariant> &signal : ready) {
            const int index = signal.at(0).toInt();
            indexes << index;
            QCOMPARE(signal.at(1).toString(), paths.at(index));
            QCOMPARE(signal.at(2).value<QImage>().size(), QSize(100, 100));
        }
        QVERIFY(std::is_sorted(indexes.begin(), indexes.end()));
        QVERIFY(!indexes.contains(17));
        QCOMPARE(progress.last().at(0).toInt(), 50);
        QCOMPARE(progress.last().at(1).toInt(), 50);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!build.isRunning());
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
        QSignalSpy ready(&build, &ThumbnailBuild::thumbnailReady);
        QSignalSpy finished(&build, &ThumbnailBuild::finished);
        build.start(paths, m_cache);
        QVERIFY(ready.wait(20000));
        build.stop();
        QVERIFY(!build.isRunning());

        // Nothing runs once stop() returns: the cache does not grow and no signal follows.
        const QDir entries(m_cache.root() + QStringLiteral("/normal"));
        const qsizetype written = entries.entryList(QDir::Files).size();
        const qsizetype shown = ready.size();
        QVERIFY(build.settled() < paths.size() / 2);
        QCoreApplication::processEvents();
        QCOMPARE(ready.size(), shown);
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
