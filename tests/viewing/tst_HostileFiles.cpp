// Files a user can receive that once froze the viewer: a JPEG of thousands of scans (opened,
// or stepped to while the preloader decodes it) and a picture the user may not read. The
// interface thread never stands still for long, and the user is told what is wrong.
#include "FolderStepping.h"
#include "JpegDecoder.h"
#include "ManyScanJpeg.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "OrdinaryUser.h"
#include "PictureBox.h"
#include "PicturePreloader.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "ViewingTestCase.h"
#include "WindowList.h"
#include "frmViewer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QScopeGuard>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>

using namespace pixdock;
using namespace pixdock::viewing;

class TestHostileFiles : public test::ViewerTestCase
{
    Q_OBJECT
    QByteArray m_manyScans;

private slots:
    void initTestCase() { m_manyScans = test::manyScanJpeg(test::manyScanRepeats()); }

    // A decode nobody wants any more ends at its next row, however many scans are left.
    void aCancelledDecodeEndsBetweenScans()
    {
        const QByteArray scans = test::manyScanJpeg(MostScans - 10, {4096, 4096});
        std::atomic_bool cancelled{false};
        std::atomic_bool begun{false};
        auto decode = QtConcurrent::run([&] {
            QByteArray bytes = scans;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            JpegDecoder decoder(&buffer);
            decoder.setCancelFlag(&cancelled);
            begun = true;
            const bool whole = decoder.readHeader() && !decoder.decode().isNull();
            return !whole && decoder.wasCancelled();
        });
        QTRY_VERIFY(begun.load());
        QTest::qWait(20);
        QElapsedTimer clock;
        clock.start();
        cancelled = true;
        decode.waitForFinished();
        QVERIFY2(clock.elapsed() < test::stallLimitMs(), qPrintable(QString::number(clock.elapsed())));
        QVERIFY(decode.result());
    }

    // Opened, or stepped to while the preloader decodes it as the folder's next file.
    void aPictureOfManyScansIsSaidToBeInvalidAtOnce_data()
    {
        QTest::addColumn<bool>("steppedTo");
        QTest::newRow("opened") << false;
        QTest::newRow("stepped to while it is preloaded") << true;
    }
    void aPictureOfManyScansIsSaidToBeInvalidAtOnce()
    {
        QFETCH(bool, steppedTo);
        test::writePicture(folder(), "a.png", {30, 20});
        const QString file = test::writeBytes(folder(), "b.jpg", m_manyScans);
        gCurrentPath = steppedTo ? path("a.png") : file;
        if (steppedTo) {
            frmViewer::openNew();
            setFrameStatusText(gCurrentPath);
        }
        MessageBox::queueAnswer(QMessageBox::No);
        test::StallWatch watch;
        steppedTo ? nextImage(FailurePolicy::SkipFailingSteps) : void(frmViewer::openNew());
        QTRY_COMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(watch.end(), QString());
        QCOMPARE(MessageBox::shownTexts(), QStringList{file + " is invalid.\rLoad next file?"});
        QCOMPARE(gCurrentPath, file);
        QCOMPARE(frameStatusText(), file);
        QVERIFY(qobject_cast<frmViewer *>(WindowList::instance().windows().constLast())->picFramed()->isHidden());
    }

    // A picture of a few hundred scans is valid, and slow to decode: the window is laid out for it
    // at once and stays live while a worker decodes it; closing it does not wait for the worker.
    void aPictureSlowToDecodeHoldsNeitherTheWindowNorItsClosing()
    {
        const QString slow = test::writeBytes(folder(), "slow.jpg", test::manyScanJpeg(MostScans - 10, {4096, 4096}));
        gCurrentPath = slow;
        test::StallWatch watch;
        const QPointer<frmViewer> viewer = frmViewer::openNew();
        QCOMPARE(frameStatusText(), slow);
        QVERIFY(viewer->vScroll()->isVisibleTo(viewer));
        QVERIFY(viewer->picFramed()->isAwaitingPicture());
        QTest::qWait(50);
        QVERIFY(viewer->picFramed()->isAwaitingPicture());
        QTest::mouseClick(viewer->cmdClose(), Qt::LeftButton);
        QTRY_VERIFY(!viewer);
        QCOMPARE(watch.end(), QString());
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // The file goes (another program moves or deletes it) while its pixels are decoded: what is
    // decoded is the file that was measured, and it is shown.
    void aPictureDeletedWhileItIsDecodedIsStillShown()
    {
        const QString gone = test::writePicture(folder(), "gone.png", {1200, 900}, Qt::green);
        gCurrentPath = gone;
        frmViewer *viewer = frmViewer::openNew();
        QVERIFY(QFile::remove(gone));
        viewer->picFramed()->waitForPicture();
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(viewer->picFramed()->picture().pixelColor(20, 2), QColor(Qt::green));
        QCOMPARE(frameStatusText(), gone);
    }

    // Stepping to the file the preloader is still decoding: the viewer takes its picture when it
    // is done, neither waiting for it nor decoding it a second time.
    void steppingToAPictureStillBeingPreloadedTakesItWhenItIsDone()
    {
        test::writePicture(folder(), "a.png", {30, 20});
        const QString slow =
            test::writeBytes(folder(), "b.jpg", test::manyScanJpeg(MostScans - 10, {4096, 4096}));
        auto &preloader = PicturePreloader::instance();
        gCurrentPath = path("a.png");
        frmViewer::openNew()->picFramed()->waitForPicture();
        setFrameStatusText(gCurrentPath);
        QTRY_VERIFY(preloader.isDecoding(slow));
        const int before = preloader.handedOver();
        test::StallWatch watch;
        nextImage(FailurePolicy::SkipFailingSteps);
        auto *viewer = qobject_cast<frmViewer *>(WindowList::instance().at(2));
        QVERIFY(viewer);
        QCOMPARE(frameStatusText(), slow);
        QTRY_VERIFY_WITH_TIMEOUT(viewer->picFramed()->isComplete(), 20000);
        QCOMPARE(watch.end(), QString());
        QCOMPARE(preloader.handedOver() - before, 1);
        QCOMPARE(viewer->picFramed()->picture().size(), QSize(4096, 4096));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Shown first a picture it may read, then one it may not: it is told why, and nothing points
    // at the first picture any more.
    void anUnreadablePictureSaysWhyAndNothingNamesThePictureBefore()
    {
        test::writePicture(folder(), "a.png", {30, 20});
        const QString locked = test::writePicture(folder(), "b.png", {30, 20});
        QVERIFY(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                         | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(locked, {}));
        // The preloader's worker would read it with the test's own rights.
        const qint64 budget = PicturePreloader::instance().budgetBytes();
        PicturePreloader::instance().setBudgetBytes(0);
        const auto restore = qScopeGuard([budget] { PicturePreloader::instance().setBudgetBytes(budget); });

        gCurrentPath = path("a.png");
        frmViewer::openNew();
        QCOMPARE(frameStatusText(), path("a.png"));
        test::ThreadReadsAsOrdinaryUser ordinary;
        test::StallWatch watch;
        gCurrentPath = locked;
        frmViewer *viewer = frmViewer::openNew();
        QTest::qWait(10);
        QCOMPARE(watch.end(), QString());

        QCOMPARE(MessageBox::shownTexts(), QStringList{locked + " cannot be read: permission denied."});
        const MessageBox::Shown &said = MessageBox::shown().constFirst();
        QCOMPARE(said.title, QStringLiteral("Pixdock"));
        QCOMPARE(said.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(viewer->picFramed()->isHidden());
        QVERIFY(!viewer->picFramed()->showsPicture());
        QCOMPARE(viewer->windowTitle(), caption::Viewer);
        QCOMPARE(gCurrentPath, locked);
        QCOMPARE(frameStatusText(), locked);
    }
};

PIXDOCK_REGISTER_TEST(TestHostileFiles)
#include "tst_HostileFiles.moc"
