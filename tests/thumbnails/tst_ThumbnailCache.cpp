// The shared desktop thumbnail cache: entry names and texts, reuse, refresh, and thumbnails
// that still come when the cache or the picture's folder cannot be written.
#include "Pictures.h"
#include "TestRegistry.h"
#include "ThumbnailCache.h"
#include "ThumbnailLoader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QMap>
#include <QTest>
#include <QUrl>
#include <QtEndian>

#include <optional>

#include <glib.h>

using namespace pixdock;
using namespace pixdock::thumbnails;

namespace {

// The tEXt chunks of a PNG file, as key -> value.
QMap<QByteArray, QByteArray> textChunks(const QString &file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    const QByteArray png = f.readAll();
    QMap<QByteArray, QByteArray> texts;
    for (qsizetype at = 8; at + 8 <= png.size();) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        const QByteArray type = png.mid(at + 4, 4);
        if (type == "tEXt") {
            const QByteArray body = png.mid(at + 8, length);
            const qsizetype nul = body.indexOf('\0');
            texts.insert(body.left(nul), body.mid(nul + 1));
        }
        at += 12 + length;
    }
    return texts;
}

// The colour of a test picture away from the white diagonal that writePicture() draws.
QColor fillColour(const QImage &image)
{
    return image.pixelColor(image.width() * 4 / 5, image.height() / 5);
}

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12
           && std::abs(a.blue() - b.blue()) < 12;
}

} // namespace

class TestThumbnailCache : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_pictures.emplace();
        m_cacheHome.emplace();
        m_cache = ThumbnailCache(m_cacheHome->filePath(QStringLiteral("thumbnails")));
    }

    void aFileUriIsTheAbsolutePathPercentEncoded_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("uri");
        QTest::newRow("plain") << "/photos/a.jpg" << QByteArray("file:///photos/a.jpg");
        QTest::newRow("blank") << "/my photos/a b.jpg" << QByteArray("file:///my%20photos/a%20b.jpg");
        QTest::newRow("accent") << QStringLiteral("/photos/\u00e9t\u00e9.jpg")
                                << QByteArray("file:///photos/%C3%A9t%C3%A9.jpg");
        QTest::newRow("percent and hash") << "/p/100%#1.jpg" << QByteArray("file:///p/100%25%231.jpg");
        QTest::newRow("reserved characters")
            << "/p/[a];b&c=d!e$f'g(h)*+,:@~.jpg" << QByteArray("file:///p/%5Ba%5D%3Bb&c=d!e$f'g(h)*+,:@~.jpg");
    }
    void aFileUriIsTheAbsolutePathPercentEncoded()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, uri);
        QCOMPARE(fileUri(path), uri);
    }

    // File managers name their entries by GLib's URI of the file; so must we, or the entries
    // are not shared.
    void aFileUriIsTheOneGLibGives_data()
    {
        QTest::addColumn<QString>("name");
        for (char c = 1; c < 127; ++c) {
            if (c != '/')
                QTest::addRow("character %d", int(c)) << QStringLiteral("a%1b.jpg").arg(QLatin1Char(c));
        }
        QTest::newRow("brackets and friends") << "[2024] holiday; Tom & Jerry = fun!.jpg";
        QTest::newRow("accents and CJK") << QStringLiteral("\u00e9t\u00e9 \u5199\u771f \U0001F600.jpg");
        QTest::newRow("spaces at the ends") << " a b .png";
    }
    void aFileUriIsTheOneGLibGives()
    {
        QFETCH(QString, name);
        const QString path = QStringLiteral("/photos/") + name;
        const QByteArray native = QFile::encodeName(path);
        gchar *uri = g_filename_to_uri(native.constData(), nullptr, nullptr);
        QVERIFY(uri);
        const QByteArray expected(uri);
        g_free(uri);
        QCOMPARE(fileUri(path), expected);
    }

    void entrySizeFitsIn128KeepingProportionsAndNeverEnlarges_data()
    {
        QTest::addColumn<QSize>("original");
        QTest::addColumn<QSize>("entry");
        QTest::newRow("camera") << QSize(4000, 3000) << QSize(128, 96);
        QTest::newRow("portrait") << QSize(100, 400) << QSize(32, 128);
        QTest::newRow("small stays") << QSize(50, 60) << QSize(50, 60);
        QTest::newRow("thin line keeps a pixel") << QSize(5000, 2) << QSize(128, 1);
    }
    void entrySizeFitsIn128KeepingProportionsAndNeverEnlarges()
    {
        QFETCH(QSize, original);
        QFETCH(QSize, entry);
        QCOMPARE(cacheSizeFor(original), entry);
    }

    void aNewThumbnailIsStoredUnderTheMd5OfItsUriWithUriAndMTime()
    {
        const QString picture
            = test::writePicture(m_pictures->path(), QStringLiteral("wide.png"), { 400, 100 });
        QVERIFY(!makeThumbnail(picture, m_cache).isNull());

        const QByteArray uri = QUrl::fromLocalFile(picture).toEncoded();
        const QString entry = m_cache.root() + QStringLiteral("/normal/")
                              + QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
        QVERIFY2(QFile::exists(entry), qPrintable(entry));
        const auto texts = textChunks(entry);
        QCOMPARE(texts.value("Thumb::URI"), uri);
        QCOMPARE(texts.value("Thumb::MTime"),
                 QByteArray::number(QFileInfo(picture).lastModified().toSecsSinceEpoch()));
        QCOMPARE(QImage(entry).size(), QSize(128, 32));
        // Private to the user, and no temporary file left behind.
        QCOMPARE(QFileInfo(m_cache.root()).permissions() & 0x0777, QFile::Permissions(0x0700));
        QCOMPARE(QFileInfo(m_cache.root() + "/normal").permissions() & 0x0777, QFile::Permissions(0x0700));
        QCOMPARE(QDir(m_cache.root() + "/normal").entryList(QDir::Files).size(), 1);
    }

    void anEntryKeepsThePicturesColoursAndTransparency()
    {
        QImage picture(300, 200, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        for (int y = 0; y < 200; ++y)
            for (int x = 150; x < 300; ++x)
                picture.setPixelColor(x, y, QColor(200, 30, 90));
        const QString path = m_pictures->filePath(QStringLiteral("half.png"));
        QVERIFY(picture.save(path));
        QVERIFY(!makeThumbnail(path, m_cache).isNull());
        // Read back by Qt's own PNG reader, as any program reads the shared cache.
        const QImage entry(m_cache.entryPath(fileUri(path)));
        QCOMPARE(entry.size(), QSize(128, 85));
        QVERIFY(entry.hasAlphaChannel());
        QCOMPARE(entry.pixelColor(10, 40).alpha(), 0);
        QVERIFY(near(entry.pixelColor(118, 40), QColor(200, 30, 90)));
        QCOMPARE(entry.pixelColor(118, 40).alpha(), 255);
    }

    void aFreshEntryIsUsedInsteadOfThePicture()
    {
        const QString picture =
            test::writePicture(m_pictures->path(), QStringLiteral("a.jpg"), {300, 200}, Qt::blue);
        QVERIFY(near(fillColour(makeThumbnail(picture, m_cache)), Qt::blue));
        // Another program's entry for the same version of the file, in a colour of its own.
        PictureStamp stamp;
        QVERIFY(stampPicture(picture, stamp));
        QImage other(128, 85, QImage::Format_RGB32);
        other.fill(Qt::magenta);
        QVERIFY(m_cache.write(stamp, other));

        const QImage shown = makeThumbnail(picture, m_cache);
        QCOMPARE(shown.size(), QSize(100, 100));
        QVERIFY(near(fillColour(shown), Qt::magenta));
    }

    void anEntryWrittenWithCompressedTextsByAnotherProgramIsRead()
    {
        const QString picture = test::writePicture(m_pictures->path(),
            QStringLiteral("a name long enough for compressed texts.png"), { 64, 64 }, Qt::green);
        PictureStamp stamp;
        QVERIFY(stampPicture(picture, stamp));
        QImage other(64, 64, QImage::Format_ARGB32);
        other.fill(Qt::yellow);
        // Qt stores long texts as zTXt chunks, as several desktop thumbnailers do.
        other.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(stamp.uri));
        other.setText(QStringLiteral("Thumb::MTime"), QString::number(stamp.mtime));
        QDir().mkpath(m_cache.root() + "/normal");
        QVERIFY(other.save(m_cache.entryPath(stamp.uri), "png"));

        QVERIFY(near(fillColour(makeThumbnail(picture, m_cache)), Qt::yellow));
    }

    void aChangedPictureIsDecodedAgainAndItsEntryRefreshed()
    {
        const QString picture
            = test::writePicture(m_pictures->path(), QStringLiteral("a.png"), { 200, 200 }, Qt::red);
        QVERIFY(near(fillColour(makeThumbnail(picture, m_cache)), Qt::red));

        test::writePicture(m_pictures->path(), QStringLiteral("a.png"), {200, 200}, Qt::blue);
        QFile file(picture);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QDateTime later = QDateTime::currentDateTime().addSecs(60);
        QVERIFY(file.setFileTime(later, QFileDevice::FileModificationTime));
        file.close();

        QVERIFY(near(fillColour(makeThumbnail(picture, m_cache)), Qt::blue));
        const auto texts = textChunks(m_cache.entryPath(fileUri(picture)));
        QCOMPARE(texts.value("Thumb::MTime"), QByteArray::number(later.toSecsSinceEpoch()));
    }

    void aPictureInAFolderTheUserCannotWriteStillGetsAThumbnail()
    {
        const QString picture = test::writePicture(m_pictures->path(), QStringLiteral("a.jpg"), {300, 200});
        QFile::setPermissions(m_pictures->path(), QFile::ReadOwner | QFile::ExeOwner);
        const QImage thumbnail = makeThumbnail(picture, m_cache);
        QFile::setPermissions(m_pictures->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(thumbnail.size(), QSize(100, 100));
        QVERIFY(QFile::exists(m_cache.entryPath(fileUri(picture))));
        QCOMPARE(QDir(m_pictures->path()).entryList(QDir::Files), QStringList{QStringLiteral("a.jpg")});
    }

    void aCacheThatCannotBeWrittenStillGivesThumbnails()
    {
        // The cache home is a plain file, so no folder can be made under it.
        const QString blocker = test::writeBytes(m_cacheHome->path(), QStringLiteral("blocker"), "x");
        const ThumbnailCache blocked(blocker + QStringLiteral("/thumbnails"));
        const QString picture = test::writePicture(m_pictures->path(), QStringLiteral("a.png"), {30, 30});
        QCOMPARE(makeThumbnail(picture, blocked).size(), QSize(100, 100));
    }

private:
    std::optional<QTemporaryDir> m_pictures;
    std::optional<QTemporaryDir> m_cacheHome;
    ThumbnailCache m_cache;
};

PIXDOCK_REGISTER_TEST(TestThumbnailCache)
#include "tst_ThumbnailCache.moc"
