// Next Image and Previous Image: stepping through a folder from the status panel's path,
// at both ends of the folder and under both failure policies.
#include "FolderListing.h"
#include "FolderStepping.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "PicturePreloader.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "ViewingTestCase.h"
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

class TestFolderStepping : public test::ViewerTestCase
{
    Q_OBJECT

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
        ViewerTestCase::init();
        for (const char *name : {"a.png", "b.png", "c.png"})
            test::writePicture(folder(), name, {30, 20});
    }

    void stepping_data()
    {
        QTest::addColumn<FailurePolicy>("policy");
        QTest::addColumn<bool>("next");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("change"); // between showing `from` and the step
        QTest::addColumn<int>("answer");     // to a question, 0 for none
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("to"); // empty: nothing changes
        const int yes = QMessageBox::Yes;
        const QStringList noMore{NoMoreFiles};
        const QStringList notFound{QStringLiteral("File was not found")};
        addPolicyRows("next from the first", [](QTestData &r) { r << true << "a.png" << "" << 0 << QStringList() << "b.png"; });
        addPolicyRows("next at the end, Yes goes to the first",
                      [&](QTestData &r) { r << true << "c.png" << "" << yes << noMore << "a.png"; });
        addPolicyRows("next at the end, No changes nothing",
                      [&](QTestData &r) { r << true << "c.png" << "" << int(QMessageBox::No) << noMore << ""; });
        addPolicyRows("next on a name of other letter case offers the first",
                      [&](QTestData &r) { r << true << "B.png" << "" << yes << noMore << "a.png"; });
        addPolicyRows("previous from the last", [](QTestData &r) { r << false << "c.png" << "" << 0 << QStringList() << "b.png"; });
        addPolicyRows("previous at the start says so",
                      [](QTestData &r) { r << false << "a.png" << "" << 0 << QStringList{FirstImageText} << ""; });
        addPolicyRows("previous on a name not in the folder",
                      [](QTestData &r) { r << false << "zz.png" << "" << 0 << QStringList() << ""; });
        addPolicyRows("next after the viewer was closed",
                      [](QTestData &r) { r << true << "a.png" << "close" << 0 << QStringList() << "b.png"; });
        addPolicyRows("next after the current file went offers the first",
                      [&](QTestData &r) { r << true << "b.png" << "remove b.png" << yes << noMore << "a.png"; });
        addPolicyRows("next with no file left stops after the question",
                      [&](QTestData &r) { r << true << "a.png" << "remove a.png b.png c.png" << yes << noMore << ""; });
        addPolicyRows("next from a folder that went",
                      [&](QTestData &r) { r << true << "b.png" << "remove the folder" << 0 << notFound << ""; });
        addPolicyRows("previous from a folder that went",
                      [&](QTestData &r) { r << false << "b.png" << "remove the folder" << 0 << notFound << ""; });
    }

    void stepping()
    {
        QFETCH(FailurePolicy, policy);
        QFETCH(bool, next);
        QFETCH(QString, from);
        QFETCH(QString, change);
        QFETCH(int, answer);
        QFETCH(QStringList, messages);
        QFETCH(QString, to);
        QPointer<frmViewer> old = show(from);
        if (change == "close")
            old->unload();
        else if (change == "remove the folder")
            QVERIFY(QDir(folder()).removeRecursively());
        else if (change.startsWith("remove "))
            for (const QString &name : change.split(' ').mid(1))
                QVERIFY(QFile::remove(path(name)));
        if (answer)
            MessageBox::queueAnswer(QMessageBox::StandardButton(answer));

        test::StallWatch watch;
        next ? nextImage(policy) : previousImage(policy);
        test::flushDeletes();
        QCOMPARE(watch.end(), QString());

        QCOMPARE(MessageBox::shownTexts(), messages);
        QCOMPARE(WindowList::instance().count(), 3);
        QCOMPARE(gCurrentPath, path(to.isEmpty() ? from : to));
        QCOMPARE(frameStatusText(), path(to.isEmpty() ? from : to));
        QCOMPARE(old.isNull(), !to.isEmpty() || change == "close");
        if (!to.isEmpty()) {
            auto *viewer = qobject_cast<frmViewer *>(WindowList::instance().at(2));
            QVERIFY(viewer);
            QVERIFY(viewer->picFramed()->isVisible());
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
        test::writeBytes(folder(), "b.png", "not a picture");
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
