// The shared desktop thumbnail cache: entry names and texts, reuse, refresh, and thumbnails
// that still come when the cache or the picture's folder cannot be written.
#include "ViewingTestCase.h"

#include <QCryptographicHash>
#include <QtConcurrent/QtConcurrentRun>

#include <glib.h>

class TestThumbnailCache : public test::ThumbnailTestCase
{
    Q_OBJECT
private slots:
    // The cache other programs share lies where the desktop's rules put it; a cache home that
    // is not an absolute path is no cache home.
    void theCacheLiesInTheUsersCacheHome()
    {
        const auto restore = qScopeGuard([saved = qgetenv("XDG_CACHE_HOME")] { qputenv("XDG_CACHE_HOME", saved); });
        QStringList roots;
        for (const QByteArray &home : {QByteArray("/var/cache/me/"), QByteArray(), QByteArray("cache")}) {
            QVERIFY(home.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", home));
            roots << cacheRoot();
        }
        // Set; not set; not an absolute path.
        const QString usual = QDir::homePath() + "/.cache/thumbnails";
        QCOMPARE(roots, QStringList({"/var/cache/me/thumbnails", usual, usual}));
    }

    // Under the MD5 of its URI, with the URI and the time, at 128 pixels (a smaller picture at
    // its own size, a thin line a pixel high), keeping the picture's colours and transparency;
    // refreshed when the picture changes. File managers name their entries by GLib's URI of the
    // file; so must we, or the entries are not shared: the name holds every ASCII character a
    // file name may hold, accents, CJK and an emoji, and spaces at its ends.
    void aNewThumbnailIsStoredAsTheDesktopsRulesSayAndRefreshedWhenThePictureChanges()
    {
        QString name = QStringLiteral(" ");
        for (char c = 1; c < 127; ++c)
            name += c == '/' ? QString() : QString(QLatin1Char(c));
        const QString path = pictures() + "/" + name + QStringLiteral(" \u00e9t\u00e9 \u5199\u771f \U0001F600 .png");
        const std::unique_ptr<gchar, decltype(&g_free)> glibUri(g_filename_to_uri(QFile::encodeName(path), nullptr, nullptr), g_free);
        const QByteArray uri(glibUri.get());
        QCOMPARE((QList<QSize>{cacheSizeFor({50, 60}), cacheSizeFor({5000, 2})}), (QList<QSize>{{50, 60}, {128, 1}}));
        QImage picture = test::filled({300, 200}, Qt::transparent, QImage::Format_ARGB32);
        for (const QColor colour : {QColor(200, 30, 90), QColor(30, 200, 90)}) {
            QPainter(&picture).fillRect(150, 0, 150, 200, colour);
            QVERIFY(picture.save(path, "png"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            const QDateTime stamp = QDateTime::currentDateTime().addSecs(colour.red() == 30 ? 60 : 0);
            QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
            QVERIFY(test::near(makeThumbnail(path, m_cache).pixelColor(90, 50), colour, 12));
            const QString entry = m_cache.root() + "/normal/" + QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
            // Read back by Qt's own PNG reader, as any program reads the shared cache.
            const QImage image(entry);
            QCOMPARE(image.text("Thumb::URI") + ' ' + image.text("Thumb::MTime"),
                     QString::fromLatin1(uri) + ' ' + QString::number(stamp.toSecsSinceEpoch()));
            QCOMPARE(image.size(), QSize(128, 85));
            QVERIFY(test::near(image.pixelColor(118, 40), colour, 12));
            QCOMPARE(QPoint(image.pixelColor(10, 40).alpha(), image.pixelColor(118, 40).alpha()), QPoint(0, 255));
        }
        // Private to the user, and no temporary file left behind.
        for (const QString &folder : {m_cache.root(), m_cache.root() + "/normal"})
            QCOMPARE(QFileInfo(folder).permissions() & 0x0777, QFile::Permissions(0x0700));
        QCOMPARE(QDir(m_cache.root() + "/normal").entryList(QDir::Files).size(), 1);
    }

    // What another program of the user left under an entry's name: its own entry, with the long
    // texts stored compressed (zTXt) as several desktop thumbnailers do, is used; a named pipe is
    // passed over as if there were no entry, never waited on.
    void whatAnotherProgramLeftUnderAnEntrysName_data()
    {
        test::columns<bool, QColor>("pipe", "shown");
        QTest::newRow("its entry, texts compressed") << false << QColor(Qt::yellow);
        QTest::newRow("a named pipe: made from the picture") << true << QColor(Qt::green);
    }
    void whatAnotherProgramLeftUnderAnEntrysName()
    {
        const auto [pipe, shown] = test::fetch<bool, QColor>("pipe", "shown");
        const QString picture = test::writePicture(pictures(), "a name long enough for compressed texts.png", {64, 64}, Qt::green);
        const PictureStamp stamp = test::stampOf(picture);
        const QByteArray entry = QFile::encodeName(m_cache.entryPath(stamp.uri));
        QImage other = test::filled({64, 64}, Qt::yellow, QImage::Format_ARGB32);
        other.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(stamp.uri));
        other.setText(QStringLiteral("Thumb::MTime"), QString::number(stamp.mtime));
        QVERIFY(QDir().mkpath(m_cache.root() + "/normal"));
        QVERIFY(pipe ? ::mkfifo(entry.constData(), 0600) == 0 : other.save(QFile::decodeName(entry), "png"));
        QFuture<QImage> made = QtConcurrent::run([&] { return makeThumbnail(picture, m_cache); });
        // Should the maker be stuck on the pipe, a writer that opens and closes it frees it.
        const auto freeAReader = qScopeGuard([&] {
            const int fd = ::open(entry.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            made.waitForFinished();
        });
        QTRY_VERIFY_WITH_TIMEOUT(made.isFinished(), 10000);
        QVERIFY(made.result().size() == QSize(100, 100) && test::near(made.result().pixelColor(50, 20), shown, 12));
    }

    // In a folder the user cannot write, and with a cache that cannot be written.
    void aThumbnailComesWhereNothingCanBeWritten()
    {
        const QString picture = test::writePicture(pictures(), "a.jpg", {300, 200});
        QFile::setPermissions(pictures(), QFile::ReadOwner | QFile::ExeOwner);
        const QImage thumbnail = makeThumbnail(picture, m_cache);
        QFile::setPermissions(pictures(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(thumbnail.size(), QSize(100, 100));
        QVERIFY(QFile::exists(m_cache.entryPath(fileUri(picture))));
        QCOMPARE(QDir(pictures()).entryList(QDir::Files), QStringList{"a.jpg"});
        // The cache home is a plain file, so no folder can be made under it.
        const QString blocker = test::writeBytes(m_cacheHome->path(), "blocker", "x");
        QCOMPARE(makeThumbnail(picture, ThumbnailCache(blocker + "/thumbnails")).size(), QSize(100, 100));
    }
};

PIXDOCK_REGISTER_TEST(TestThumbnailCache)
#include "tst_ThumbnailCache.moc"
