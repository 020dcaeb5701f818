// Next Image and Previous Image: stepping through a folder from the status panel's path,
// at both ends of the folder and under both failure policies.
#include "EventLoopWatchdog.h"
#include "FolderListing.h"
#include "FolderStepping.h"
#include "HostFrame.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "PicturePreloader.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "ViewingTestFiles.h"
#include "WindowList.h"
#include "PictureBox.h"
#include "frmViewer.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace pixdock;
using namespace pixdock::viewing;

Q_DECLARE_METATYPE(pixdock::viewing::FailurePolicy)

namespace {
const QString NoMoreFiles = QStringLiteral("No more files!\rGo to first image?");

void addPolicyRows(const char *tag, const std::function<void(QTestData &)> &rest)
{
    for (auto [name, policy] : {std::pair{"skip failing steps", FailurePolicy::SkipFailingSteps},
                                std::pair{"end at first failure", FailurePolicy::EndAtFirstFailure}}) {
        QTestData &row = QTest::newRow(qPrintable(QStringLiteral("%1 (%2)").arg(tag, name))) << policy;
        rest(row);
    }
}
} // namespace

class TestFolderStepping : public QObject
{
    Q_OBJECT
    test::HostFrame *m_frame = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->path() + "/" + name; }

    // Shows a file as a command would: current path, a viewer, the status panel.
    frmViewer *show(const QString &name)
    {
        gCurrentPath = path(name);
        frmViewer *viewer = frmViewer::openNew();
        setFrameStatusText(gCurrentPath);
        return viewer;
    }

    QStringList viewerPaths() const
    {
        QStringList captions;
        for (QWidget *w : WindowList::instance().windows())
            captions << w->windowTitle();
        return captions;
    }

private slots:
    void init()
    {
        test::resetProgramState();
        m_frame = new test::HostFrame;
        m_dir = std::make_unique<QTemporaryDir>();
        for (const char *name : {"a.png", "b.png", "c.png"})
            test::writePicture(m_dir->path(), name, {30, 20});
    }
    void cleanup()
    {
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
        test::resetProgramState();
        delete m_frame;
    }

    void stepping_data()
    {
        QTest::addColumn<FailurePolicy>("policy");
        QTest::addColumn<bool>("next");
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("answer"); // to a question, 0 for none
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("to"); // empty: nothing changes
        addPolicyRows("next from the first", [](QTestData &r) { r << true << "a.png" << 0 << QStringList() << "b.png"; });
        addPolicyRows("next at the end, Yes goes to the first",
                      [](QTestData &r) { r << true << "c.png" << int(QMessageBox::Yes) << QStringList{NoMoreFiles} << "a.png"; });
        addPolicyRows("next at the end, No changes nothing",
                      [](QTestData &r) { r << true << "c.png" << int(QMessageBox::No) << QStringList{NoMoreFiles} << ""; });
        addPolicyRows("next on a name of other letter case offers the first",
                      [](QTestData &r) { r << true << "B.png" << int(QMessageBox::Yes) << QStringList{NoMoreFiles} << "a.png"; });
        addPolicyRows("previous from the last", [](QTestData &r) { r << false << "c.png" << 0 << QStringList() << "b.png"; });
        addPolicyRows("previous at the start says so",
                      [](QTestData &r) { r << false << "a.png" << 0 << QStringList{FirstImageText} << ""; });
        addPolicyRows("previous on a name not in the folder",
                      [](QTestData &r) { r << false << "zz.png" << 0 << QStringList() << ""; });
    }

    void stepping()
    {
        QFETCH(FailurePolicy, policy);
        QFETCH(bool, next);
        QFETCH(QString, from);
        QFETCH(int, answer);
        QFETCH(QStringList, messages);
        QFETCH(QString, to);
        QPointer<frmViewer> old = show(from);
        if (answer)
            MessageBox::queueAnswer(QMessageBox::StandardButton(answer));

        test::EventLoopWatchdog watchdog;
        watchdog.start();
        QTest::qWait(5);
        next ? nextImage(policy) : previousImage(policy);
        test::flushDeletes();
        watchdog.stop();
        QVERIFY2(watchdog.withinLimit(test::stallLimitMs()), qPrintable(watchdog.report()));

        QCOMPARE(MessageBox::shownTexts(), messages);
        if (to.isEmpty()) {
            QCOMPARE(gCurrentPath, path(from));
            QCOMPARE(frameStatusText(), path(from));
            QVERIFY(!old.isNull());
            QCOMPARE(WindowList::instance().count(), 3);
        } else {
            QCOMPARE(gCurrentPath, path(to));
            QCOMPARE(frameStatusText(), path(to));
            QVERIFY(old.isNull());
            auto *viewer = qobject_cast<frmViewer *>(WindowList::instance().at(2));
            QVERIFY(viewer);
            QVERIFY(viewer->picFramed()->isVisible());
            QCOMPARE(WindowList::instance().count(), 3);
        }
    }

    void nothingHappensBeforeAnyPicture_data()
    {
        QTest::addColumn<bool>("next");
        QTest::newRow("next") << true;
        QTest::newRow("previous") << false;
    }

    void nothingHappensBeforeAnyPicture()
    {
        QFETCH(bool, next);
        next ? nextImage(FailurePolicy::SkipFailingSteps) : previousImage(FailurePolicy::EndAtFirstFailure);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(gCurrentPath, QString());
        QCOMPARE(WindowList::instance().count(), 2);
    }

    void nextStepsOnAfterTheViewerWasClosed()
    {
        show("a.png")->unload();
        nextImage(FailurePolicy::SkipFailingSteps);
        QCOMPARE(gCurrentPath, path("b.png"));
        QCOMPARE(WindowList::instance().captionAt(2), caption::Viewer);
    }

    void nextAfterTheCurrentFileWasDeletedOffersTheFirst()
    {
        show("b.png");
        QVERIFY(QFile::remove(path("b.png")));
        MessageBox::queueAnswer(QMessageBox::Yes);
        nextImage(FailurePolicy::SkipFailingSteps);
        QCOMPARE(MessageBox::shownTexts(), QStringList{NoMoreFiles});
        QCOMPARE(gCurrentPath, path("a.png"));
    }

    void nextWithNothingLeftStopsAfterTheQuestion()
    {
        show("a.png");
        for (const char *name : {"a.png", "b.png", "c.png"})
            QVERIFY(QFile::remove(path(name)));
        MessageBox::queueAnswer(QMessageBox::Yes);
        nextImage(FailurePolicy::SkipFailingSteps);
        QCOMPARE(MessageBox::shownTexts(), QStringList{NoMoreFiles});
        QCOMPARE(gCurrentPath, path("a.png"));
        QCOMPARE(frameStatusText(), path("a.png"));
        QCOMPARE(WindowList::instance().count(), 3);
    }

    // The folder itself is gone: there is nothing to step to, and the user is told so.
    void steppingFromAFolderThatIsGoneSaysFileNotFound_data()
    {
        QTest::addColumn<FailurePolicy>("policy");
        QTest::addColumn<bool>("next");
        addPolicyRows("next", [](QTestData &r) { r << true; });
        addPolicyRows("previous", [](QTestData &r) { r << false; });
    }

    void steppingFromAFolderThatIsGoneSaysFileNotFound()
    {
        QFETCH(FailurePolicy, policy);
        QFETCH(bool, next);
        QPointer<frmViewer> viewer = show("b.png");
        QVERIFY(QDir(m_dir->path()).removeRecursively());
        next ? nextImage(policy) : previousImage(policy);
        test::flushDeletes();
        QCOMPARE(MessageBox::shownTexts(), QStringList{QStringLiteral("File was not found")});
        QCOMPARE(gCurrentPath, path("b.png"));
        QCOMPARE(frameStatusText(), path("b.png"));
        QVERIFY(!viewer.isNull());
        QCOMPARE(WindowList::instance().count(), 3);
    }

    void anUnreadableFileIsAStepAndTheStatusNamesWhatIsShown_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("current");
        QTest::newRow("Yes: the viewer steps past it") << int(QMessageBox::Yes) << "c.png";
        QTest::newRow("No: the next Next goes on from it") << int(QMessageBox::No) << "b.png";
    }

    void anUnreadableFileIsAStepAndTheStatusNamesWhatIsShown()
    {
        QFETCH(int, answer);
        QFETCH(QString, current);
        test::writeBytes(m_dir->path(), "b.png", "not a picture");
        show("a.png");
        MessageBox::queueAnswer(QMessageBox::StandardButton(answer));
        nextImage(FailurePolicy::SkipFailingSteps);
        QCOMPARE(MessageBox::shownTexts(), QStringList{path("b.png") + " is invalid.\rLoad next file?"});
        QCOMPARE(gCurrentPath, path(current));
        QCOMPARE(frameStatusText(), path(current));
        nextImage(FailurePolicy::SkipFailingSteps);
        QCOMPARE(gCurrentPath, path("c.png"));
        if (answer == QMessageBox::Yes) {
            QCOMPARE(MessageBox::shownTexts().size(), 2);
            QCOMPARE(MessageBox::shownTexts().constLast(), NoMoreFiles); // answered No by default
            MessageBox::clearRecord();
        }
    }

    void nextShowsTheNextPictureAsItIsOnDisk_data()
    {
        QTest::addColumn<QString>("change"); // to b.bmp after it was preloaded
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("handedOver");
        QTest::newRow("unchanged: the preloaded picture is handed over")
            << "" << "b.bmp" << QColor(Qt::green) << 1;
        QTest::newRow("repainted since: read afresh") << "repaint" << "b.bmp" << QColor(Qt::blue) << 0;
        // The file after it was not made ready: the viewer reads it itself.
        QTest::newRow("deleted since: the file after it") << "delete" << "c.bmp" << QColor(Qt::yellow) << 0;
    }

    void nextShowsTheNextPictureAsItIsOnDisk()
    {
        QFETCH(QString, change);
        QFETCH(QString, shown);
        QFETCH(QColor, colour);
        QFETCH(int, handedOver);
        QTemporaryDir dir;
        const QColor colours[] = {Qt::red, Qt::green, Qt::yellow};
        for (int i = 0; i < 3; ++i)
            test::writePicture(dir.path(), QStringLiteral("%1.bmp").arg(QChar('a' + i)), {30, 20}, colours[i]);
        const QString b = dir.path() + "/b.bmp";
        auto &preloader = viewing::PicturePreloader::instance();

        gCurrentPath = dir.path() + "/a.bmp";
        frmViewer::openNew()->picFramed()->waitForPicture();
        setFrameStatusText(gCurrentPath);
        preloader.waitUntilIdle();
        QVERIFY(preloader.isReady(b));
        if (change == "repaint")
            test::writePicture(dir.path(), "b.bmp", {30, 20}, Qt::blue);
        else if (change == "delete")
            QVERIFY(QFile::remove(b));
        const int before = preloader.handedOver();

        nextImage(FailurePolicy::SkipFailingSteps);
        test::flushDeletes();

        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(gCurrentPath, dir.path() + "/" + shown);
        QCOMPARE(frameStatusText(), gCurrentPath);
        auto *viewer = qobject_cast<frmViewer *>(WindowList::instance().at(2));
        QVERIFY(viewer);
        viewer->picFramed()->waitForPicture();
        QCOMPARE(viewer->picFramed()->picture().pixelColor(20, 2), colour);
        QCOMPARE(preloader.handedOver() - before, handedOver);
        if (shown == "b.bmp") {
            // Meanwhile the file after it is made ready.
            preloader.waitUntilIdle();
            QVERIFY(preloader.isReady(dir.path() + "/c.bmp"));
        }
    }

    void aWindowAtPosition2OtherThanAViewerStays()
    {
        test::openOtherWindow(caption::Search);
        show("a.png");
        nextImage(FailurePolicy::SkipFailingSteps);
        test::flushDeletes();
        QCOMPARE(viewerPaths(), QStringList({"Pixdock", "Options", caption::Search, caption::Viewer, caption::Viewer}));
        QCOMPARE(gCurrentPath, path("b.png"));
    }
};

PIXDOCK_REGISTER_TEST(TestFolderStepping)
#include "tst_FolderStepping.moc"
