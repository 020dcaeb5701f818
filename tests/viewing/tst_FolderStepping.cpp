// Next Image and Previous Image: stepping through a folder from the status panel's path,
// at both ends of the folder and under both failure policies.
#include "ViewingTestCase.h"

Q_DECLARE_METATYPE(pixdock::viewing::FailurePolicy)

static const QString NoMoreFiles = QStringLiteral("No more files!\rGo to first image?");

class TestFolderStepping : public test::ViewerTestCase
{
    Q_OBJECT
private slots:
    void init()
    {
        ViewerTestCase::init();
        for (const char *name : {"a.png", "b.png", "c.png"})
            picture(name);
    }

    void stepping_data()
    {
        // change: between showing `from` and the step
        // answer: to a question, 0 for none
        // to: empty: nothing changes
        test::columns<FailurePolicy, bool, QString, QString, int, QString, QString>(
            "policy", "next", "from", "change", "answer", "message", "to");
        const int yes = QMessageBox::Yes;
        // Each row under both policies.
        const std::tuple<const char *, bool, const char *, const char *, int, QString, const char *> rows[] = {
            {"next from the first", true, "a.png", "", 0, {}, "b.png"},
            {"next at the end, Yes goes to the first", true, "c.png", "", yes, NoMoreFiles, "a.png"},
            {"next at the end, No changes nothing", true, "c.png", "", QMessageBox::No, NoMoreFiles, ""},
            {"previous from the last", false, "c.png", "", 0, {}, "b.png"},
            {"previous at the start says so", false, "a.png", "", 0, FirstImageText, ""},
            {"previous on a name not in the folder", false, "zz.png", "", 0, {}, ""},
            {"next after the viewer was closed", true, "a.png", "close", 0, {}, "b.png"},
            {"next after the current file went offers the first", true, "b.png", "remove b.png", yes, NoMoreFiles, "a.png"},
            {"next with no file left stops after the question", true, "a.png", "remove a.png b.png c.png", yes, NoMoreFiles, ""},
            {"next from a folder that went", true, "b.png", "remove the folder", 0, "File was not found", ""},
            {"previous from a folder that went", false, "b.png", "remove the folder", 0, "File was not found", ""},
        };
        for (auto [name, policy] : {std::pair{"skip failing steps", FailurePolicy::SkipFailingSteps},
                                    std::pair{"end at first failure", FailurePolicy::EndAtFirstFailure}})
            for (const auto &[tag, next, from, change, answer, message, to] : rows)
                QTest::addRow("%s (%s)", tag, name) << policy << next << from << change << answer << message << to;
    }

    void stepping()
    {
        const auto [policy, next, from, change, answer, message, to] = test::fetch<FailurePolicy, bool, QString, QString, int, QString, QString>(
            "policy", "next", "from", "change", "answer", "message", "to");
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

        next ? nextImage(policy) : previousImage(policy);
        test::flushDeletes();

        QCOMPARE(MessageBox::shownTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(shownPath(), path(to.isEmpty() ? from : to));
        // One viewer, the old one gone when another file is shown.
        QCOMPARE(WindowList::instance().count(), 3);
        QCOMPARE(old.isNull(), !to.isEmpty() || change == "close");
        QVERIFY(to.isEmpty() || firstViewer()->picFramed()->isVisible());
    }

    void anUnreadableFileIsAStepAndTheStatusNamesWhatIsShown_data()
    {
        test::columns<int, QString>("answer", "current");
        QTest::newRow("Yes: the viewer steps past it") << int(QMessageBox::Yes) << "c.png";
        QTest::newRow("No: the next Next goes on from it") << int(QMessageBox::No) << "b.png";
    }
    void anUnreadableFileIsAStepAndTheStatusNamesWhatIsShown()
    {
        const auto [answer, current] = test::fetch<int, QString>("answer", "current");
        test::writeBytes(folder(), "b.png", "not a picture");
        show("a.png");
        MessageBox::queueAnswer(QMessageBox::StandardButton(answer));
        nextImage(FailurePolicy::SkipFailingSteps);
        QCOMPARE(MessageBox::shownTexts(), QStringList{path("b.png") + " is invalid.\rLoad next file?"});
        QCOMPARE(shownPath(), path(current));
        nextImage(FailurePolicy::SkipFailingSteps);
        QCOMPARE(gCurrentPath, path("c.png"));
        if (answer == QMessageBox::Yes) {
            QCOMPARE(MessageBox::shownTexts().mid(1), QStringList{NoMoreFiles}); // answered No by default
            MessageBox::clearRecord();
        }
    }

    void nextShowsTheNextPictureAsItIsOnDisk_data()
    {
        // change: to b.bmp after it was preloaded
        test::columns<QString, QString, QColor, int>("change", "shown", "colour", "handedOver");
        QTest::newRow("unchanged: the preloaded picture is handed over") << "" << "b.bmp" << QColor(Qt::green) << 1;
        QTest::newRow("repainted since: read afresh") << "repaint" << "b.bmp" << QColor(Qt::blue) << 0;
        // The file after it was not made ready: the viewer reads it itself.
        QTest::newRow("deleted since: the file after it") << "delete" << "c.bmp" << QColor(Qt::yellow) << 0;
    }
    void nextShowsTheNextPictureAsItIsOnDisk()
    {
        const auto [change, shown, colour, handedOver] = test::fetch<QString, QString, QColor, int>("change", "shown", "colour", "handedOver");
        QVERIFY(QDir(folder()).removeRecursively() && QDir().mkpath(folder()));
        for (auto [name, c] : {std::pair{"a.bmp", Qt::red}, {"b.bmp", Qt::green}, {"c.bmp", Qt::yellow}})
            picture(name, {30, 20}, c);
        auto &preloader = viewing::PicturePreloader::instance();
        show("a.bmp")->picFramed()->waitForPicture();
        preloader.waitUntilIdle();
        QVERIFY(preloader.isReady(path("b.bmp")));
        if (change == "repaint")
            picture("b.bmp", {30, 20}, Qt::blue);
        else if (change == "delete")
            QVERIFY(QFile::remove(path("b.bmp")));
        const int before = preloader.handedOver();

        nextImage(FailurePolicy::SkipFailingSteps);
        test::flushDeletes();
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(shownPath(), path(shown));
        firstViewer()->picFramed()->waitForPicture();
        QCOMPARE(firstViewer()->picFramed()->picture().pixelColor(20, 2), colour);
        QCOMPARE(preloader.handedOver() - before, handedOver);
        // Meanwhile the file after it is made ready; after the last file there is none, and
        // nothing stays held.
        preloader.waitUntilIdle();
        QCOMPARE(preloader.isReady(path("c.bmp")), shown == "b.bmp");
        QVERIFY(!preloader.isReady(path("b.bmp")));
    }

    // Before any picture Next and Previous do nothing. A window at position 2 other than a
    // viewer stays when Next shows the next file.
    void nothingHappensBeforeAnyPictureAndAWindowAtPosition2OtherThanAViewerStays()
    {
        nextImage(FailurePolicy::SkipFailingSteps);
        previousImage(FailurePolicy::EndAtFirstFailure);
        QVERIFY(MessageBox::shown().isEmpty() && gCurrentPath.isEmpty() && WindowList::instance().count() == 2);
        test::openOtherWindow(caption::Search);
        show("a.png");
        nextImage(FailurePolicy::SkipFailingSteps);
        test::flushDeletes();
        QCOMPARE(test::captions(), QStringList({"Pixdock", "Options", caption::Search, caption::Viewer, caption::Viewer}));
        QCOMPARE(gCurrentPath, path("b.png"));
    }
};

PIXDOCK_REGISTER_TEST(TestFolderStepping)
#include "tst_FolderStepping.moc"
