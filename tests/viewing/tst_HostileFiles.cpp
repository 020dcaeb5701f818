// Files a user can receive that once froze the viewer: a JPEG of thousands of scans (opened,
// or stepped to while the preloader decodes it) and a picture the user may not read. The
// interface thread never stands still for long, and the user is told what is wrong.
#include "OrdinaryUser.h"
#include "ViewingTestCase.h"

class TestHostileFiles : public test::ViewerTestCase
{
    Q_OBJECT
    QByteArray m_manyScans = test::manyScanJpeg(test::manyScanRepeats());
    // Valid, and slow to decode.
    QByteArray m_slow = test::manyScanJpeg(MostScans - 10, {4096, 4096});

private slots:
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
        picture("a.png");
        const QString file = test::writeBytes(folder(), "b.jpg", m_manyScans);
        gCurrentPath = file;
        if (steppedTo)
            show("a.png");
        MessageBox::queueAnswer(QMessageBox::No);
        steppedTo ? nextImage(FailurePolicy::SkipFailingSteps) : void(frmViewer::openNew());
        QTRY_COMPARE(MessageBox::shownTexts(), QStringList{file + " is invalid.\rLoad next file?"});
        QCOMPARE(shownPath(), file);
        QVERIFY(qobject_cast<frmViewer *>(WindowList::instance().windows().constLast())->picFramed()->isHidden());
    }

    // A picture of a few hundred scans is valid, and slow to decode. Stepped to while the
    // preloader still decodes it, the viewer is laid out for it at once and takes the picture
    // when it is done, neither waiting for it nor decoding it a second time; opened afresh,
    // closing it does not wait for the worker. A file that goes (another program moves or
    // deletes it) while its pixels are decoded: what is decoded is the file that was measured,
    // and it is shown.
    void aPictureSlowToDecodeOrGoneWhileDecodedHoldsNothingBack()
    {
        picture("a.png");
        const QString slow = test::writeBytes(folder(), "b.jpg", m_slow);
        auto &preloader = PicturePreloader::instance();
        show("a.png")->picFramed()->waitForPicture();
        QTRY_VERIFY(preloader.isDecoding(slow));
        const int before = preloader.handedOver();
        nextImage(FailurePolicy::SkipFailingSteps);
        QPointer<frmViewer> viewer = firstViewer();
        QVERIFY(frameStatusText() == slow && viewer->vScroll()->isVisibleTo(viewer) && viewer->picFramed()->isAwaitingPicture());
        QTRY_VERIFY_WITH_TIMEOUT(viewer->picFramed()->isComplete(), 20000);
        QCOMPARE(preloader.handedOver() - before, 1);
        QCOMPARE(viewer->picFramed()->picture().size(), QSize(4096, 4096));
        viewer = frmViewer::openNew();
        QVERIFY(viewer->picFramed()->isAwaitingPicture());
        QTest::mouseClick(viewer->cmdClose(), Qt::LeftButton);
        QTRY_VERIFY(!viewer);
        viewer = openNew(picture("gone.png", {1200, 900}, Qt::green));
        QVERIFY(QFile::remove(gCurrentPath));
        viewer->picFramed()->waitForPicture();
        QVERIFY(frameStatusText() == path("gone.png") && viewer->picFramed()->picture().pixelColor(20, 2) == QColor(Qt::green));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Shown first a picture it may read, then one it may not: it is told why, and nothing points
    // at the first picture any more.
    void anUnreadablePictureSaysWhyAndNothingNamesThePictureBefore()
    {
        picture("a.png");
        const QString locked = picture("b.png");
        QVERIFY(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(locked, {}));
        // The preloader's worker would read it with the test's own rights.
        auto &preloader = PicturePreloader::instance();
        const auto restore = qScopeGuard([&preloader, budget = preloader.budgetBytes()] { preloader.setBudgetBytes(budget); });
        preloader.setBudgetBytes(0);

        show("a.png");
        test::ThreadReadsAsOrdinaryUser ordinary;
        frmViewer *viewer = openNew(locked);

        QTRY_COMPARE(MessageBox::shownTexts(), QStringList{locked + " cannot be read: permission denied."});
        QVERIFY(MessageBox::shown().constFirst().title == "Pixdock" && MessageBox::shown().constFirst().buttons == QMessageBox::Ok);
        QVERIFY(viewer->picFramed()->isHidden() && !viewer->picFramed()->showsPicture());
        QCOMPARE(shownPath(), locked);
    }
};

PIXDOCK_REGISTER_TEST(TestHostileFiles)
#include "tst_HostileFiles.moc"
