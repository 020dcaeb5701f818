// Damaged pictures of every format the viewer opens go through a viewer window and the thumbnail
// maker: each ends in a known outcome (shown, partly shown, too large, invalid) and never in
// silence, a crash or a hang (CTest's timeout ends a hang). The long run of a few hundred files
// is `make reliability` (pixdock-badpictures).
#include "BadPictures.h"
#include "PictureProbe.h"
#include "ViewingTestCase.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace pixdock::reliability;

class TestBadPictures : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_corpus = makeCorpus(m_dir.path(), quickPlan());
    }
    void init() { test::resetProgramState(); }
    void cleanup() { test::resetProgramState(); }

    void everyDamagedPictureEndsInAKnownOutcome_data()
    {
        QTest::addColumn<int>("index");
        for (qsizetype i = 0; i < m_corpus.size(); ++i)
            QTest::newRow(qPrintable(QDir(m_dir.path()).relativeFilePath(m_corpus.at(i).path))) << int(i);
    }
    void everyDamagedPictureEndsInAKnownOutcome()
    {
        QFETCH(int, index);
        const BadPicture &picture = m_corpus.at(index);
        const PictureResult r = PictureProbe().probe(picture);
        QVERIFY2(r.viewer != ViewerOutcome::Other, qPrintable(r.detail));
        QVERIFY(r.thumbnailConsistent);
        const QString said = outcomeName(r.viewer) + (r.thumbnail ? ", a thumbnail" : ", no thumbnail");
        // Intact pictures and those whose EXIF block alone is damaged are shown; icons never
        // get a thumbnail on the sheet.
        if (picture.damage == "intact" || picture.damage == "wrong extension")
            QCOMPARE(said, QString(picture.format != "ico" ? "shown, a thumbnail" : "shown, no thumbnail"));
        else if (picture.damage == "zero bytes")
            QCOMPARE(said, QStringLiteral("invalid, no thumbnail"));
        else if (picture.damage.startsWith("exif ") && picture.damage != "exif byte flips")
            QCOMPARE(said, QStringLiteral("shown, a thumbnail"));
        else if (picture.damage.startsWith("claims"))
            QVERIFY2(r.viewer == ViewerOutcome::TooLarge || r.viewer == ViewerOutcome::Invalid, qPrintable(said));
    }

    // Qt's JPEG reader leaves the format of a header it refuses (wider than 65,500) unset, so
    // whatever the heap held before is read as the format. Freed blocks full of 0xEE make that
    // garbage certain; the loader must still say "too large" or "invalid", never crash.
    void aRefusedJpegHeaderOverOldHeapGarbageIsStillInvalid()
    {
        const QString path = test::writeBytes(m_dir.path(), "garbage-heap.jpg",
                                              withClaimedSize("jpg", intactPicture("jpg"), 65535, 65535));
        for (int round = 0; round < 20; ++round) {
            std::vector<void *> blocks;
            for (size_t size = 16; size <= 4096; size += 16)
                blocks.push_back(std::memset(std::malloc(size), 0xEE, size));
            std::for_each(blocks.begin(), blocks.end(), std::free);
            try {
                viewing::loadPicture(path);
                QFAIL("a 65535 x 65535 JPEG header was read");
            } catch (const RunTimeError &e) {
                QVERIFY(e.number() == err::InvalidPicture || e.number() == viewing::PictureTooLarge);
            }
        }
    }

private:
    QTemporaryDir m_dir;
    QList<BadPicture> m_corpus;
};

PIXDOCK_REGISTER_TEST(TestBadPictures)
#include "tst_BadPictures.moc"
