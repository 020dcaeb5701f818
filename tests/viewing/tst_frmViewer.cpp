// The viewer window: placing itself, the picture and its scroll bars, and what the user sees
// when the picture cannot be shown.
#include "FolderListing.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "PictureBox.h"
#include "PicturePreloader.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "Twips.h"
#include "UserInput.h"
#include "ViewingTestCase.h"
#include "ViewingTestFiles.h"
#include "WindowList.h"
#include "frmViewer.h"

#include <QFrame>
#include <QHash>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace pixdock;

class TestFrmViewer : public test::ViewerTestCase
{
    Q_OBJECT
private slots:
    void placesItselfRightOfThePanel()
    {
        frmViewer *viewer = openViewer(test::writePicture(folder(), "a.png", {30, 20}));
        const int panelWidth = panelWidthTwips();
        QVERIFY(qAbs(viewer->leftTwips() - panelWidth) <= twips::PerPixel);
        QCOMPARE(viewer->topTwips(), 0);
        QVERIFY(qAbs(viewer->heightTwips() - panelHeightTwips()) <= twips::PerPixel);
        QVERIFY(qAbs(viewer->widthTwips() - (frame()->widthTwips() - 1.25 * panelWidth)) <= twips::PerPixel);
        // The frame fills the window less 1000 across and 2000 down; Close sits under its bar.
        const int frameWidth = viewer->widthTwips() - 1000;
        const int frameHeight = viewer->heightTwips() - 2000;
        QCOMPARE(viewer->framePicHolder()->geometry(), twips::rectToPixels(0, 0, frameWidth, frameHeight));
        QCOMPARE(viewer->cmdClose()->y(), twips::toPixels(frameHeight + 510));
        QCOMPARE(viewer->windowTitle(), caption::Viewer);
        // Resizing the window moves none of it.
        const QRect holder = viewer->framePicHolder()->geometry();
        viewer->subWindow()->resize(viewer->subWindow()->size() + QSize(200, 150));
        QCOMPARE(viewer->framePicHolder()->geometry(), holder);
        QCOMPARE(viewer->cmdClose()->y(), twips::toPixels(frameHeight + 510));
    }

    void barsAppearOnlyForAPictureLargerThanTheFrame_data()
    {
        QTest::addColumn<int>("extraWidth");  // pixels beyond the frame, negative: smaller
        QTest::addColumn<int>("extraHeight");
        QTest::newRow("smaller both ways") << -10 << -10;
        QTest::newRow("as large as fits") << 0 << 0;
        QTest::newRow("one pixel higher") << 0 << 1;
        QTest::newRow("one pixel wider") << 1 << 0;
        QTest::newRow("larger both ways") << 300 << 200;
    }

    void barsAppearOnlyForAPictureLargerThanTheFrame()
    {
        QFETCH(int, extraWidth);
        QFETCH(int, extraHeight);
        // Measure the frame with a first viewer, then open the picture that fits it so.
        frmViewer *probe = openViewer(QString());
        const int frameWidth = probe->widthTwips() - 1000;
        const int frameHeight = probe->heightTwips() - 2000;
        probe->unload();
        const QSize size(frameWidth / 15 + extraWidth, frameHeight / 15 + extraHeight);
        const QString path = test::writePicture(folder(), "p.png", size);
        frmViewer *viewer = openViewer(path);

        QCOMPARE(viewer->picFramed()->size(), size);
        QCOMPARE(viewer->picFramed()->pos(), QPoint(0, 0));
        QVERIFY(viewer->picFramed()->isVisible());
        QCOMPARE(frameStatusText(), path);
        QCOMPARE(viewer->vScroll()->isVisible(), extraHeight > 0);
        QCOMPARE(viewer->hScroll()->isVisible(), extraWidth > 0);
        if (extraHeight > 0) {
            const int pictureHeight = size.height() * 15;
            QCOMPARE(viewer->vScroll()->maximum(), int(std::lrint((pictureHeight - frameHeight - 1) * 1.1)));
            QCOMPARE(viewer->vScroll()->singleStep(), pictureHeight / 20);
            QCOMPARE(viewer->vScroll()->pageStep(), pictureHeight / 10);
            QCOMPARE(viewer->vScroll()->geometry(), twips::rectToPixels(frameWidth, 0, 255, frameHeight));
        }
        if (extraWidth > 0) {
            QCOMPARE(viewer->hScroll()->maximum(), int(std::lrint((size.width() * 15 - frameWidth - 1) * 1.2)));
            QCOMPARE(viewer->hScroll()->geometry(), twips::rectToPixels(0, frameHeight, frameWidth, 255));
        }
    }

    // While the thumb is dragged the picture stays; it follows when the drag ends.
    void thePictureFollowsADraggedThumbWhenTheDragEnds()
    {
        frmViewer *viewer = openViewer(test::writePicture(folder(), "big.png", {2000, 1500}));
        QWidget *picture = viewer->picFramed();
        viewer->hScroll()->setSliderDown(true);
        viewer->hScroll()->setSliderPosition(2000);
        QCOMPARE(picture->x(), 0);
        viewer->hScroll()->setSliderDown(false);
        QCOMPARE(picture->x(), twips::toPixels(-2000));
    }

    // The wheel over the picture and the keys while the viewer has the focus move the same
    // bars a click on them would, by their small and large steps.
    void wheelAndKeysScrollThroughTheBars_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("bar"); // the bar that moves: "v" or "h"
        QTest::addColumn<QString>("value"); // "small", "large", "max" or "0"
        QTest::newRow("wheel down") << "wheel 0 -120" << "v" << "small";
        QTest::newRow("wheel up at the top") << "wheel 0 120" << "v" << "0";
        QTest::newRow("Shift+wheel goes sideways") << "shift-wheel 0 -120" << "h" << "small";
        QTest::newRow("sideways wheel") << "wheel -120 0" << "h" << "small";
        QTest::newRow("half a notch twice is one step") << "wheel 0 -60, wheel 0 -60" << "v" << "small";
        QTest::newRow("Down") << "key Down" << "v" << "small";
        QTest::newRow("Right") << "key Right" << "h" << "small";
        QTest::newRow("Page Down") << "key PageDown" << "v" << "large";
        QTest::newRow("End") << "key End" << "v" << "max";
        QTest::newRow("End, then Home") << "key End, key Home" << "v" << "0";
        QTest::newRow("Right, then Left") << "key Right, key Left" << "h" << "0";
    }

    void wheelAndKeysScrollThroughTheBars()
    {
        QFETCH(QString, input);
        QFETCH(QString, bar);
        QFETCH(QString, value);
        frmViewer *viewer = openViewer(test::writePicture(folder(), "big.png", {2000, 1500}));
        QWidget *picture = viewer->picFramed();
        // Its top left corner is in sight; the rest lies beyond the frame.
        const QPoint inSight(10, 10);
        test::clickOn(picture, inSight);
        for (const QString &step : input.split(", ")) {
            const QStringList parts = step.split(' ');
            if (parts.at(0) == "key") {
                const QHash<QString, Qt::Key> keys = {{"Down", Qt::Key_Down}, {"Right", Qt::Key_Right},
                                                      {"Left", Qt::Key_Left}, {"PageDown", Qt::Key_PageDown},
                                                      {"End", Qt::Key_End},   {"Home", Qt::Key_Home}};
                QVERIFY(test::pressKey(keys.value(parts.at(1))));
            } else {
                const auto modifiers = parts.at(0) == "shift-wheel" ? Qt::ShiftModifier : Qt::NoModifier;
                test::turnWheel(picture, inSight, QPoint(parts.at(1).toInt(), parts.at(2).toInt()), modifiers);
            }
        }
        QScrollBar *moved = bar == "v" ? viewer->vScroll() : viewer->hScroll();
        QScrollBar *still = bar == "v" ? viewer->hScroll() : viewer->vScroll();
        const int expected = value == "small" ? moved->singleStep() : value == "large" ? moved->pageStep()
                                                                    : value == "max" ? moved->maximum() : 0;
        QCOMPARE(moved->value(), expected);
        QCOMPARE(still->value(), 0);
        const QPoint corner(-twips::toPixels(viewer->hScroll()->value()), -twips::toPixels(viewer->vScroll()->value()));
        QCOMPARE(picture->pos(), corner);
    }

    // On a screen of any density the picture is drawn one screen pixel for each of its pixels.
    void aPictureIsOneScreenPixelPerPicturePixel()
    {
        QImage original(65, 49, QImage::Format_RGB32);
        for (int y = 0; y < original.height(); ++y)
            for (int x = 0; x < original.width(); ++x)
                original.setPixel(x, y, (x + y) % 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255 - x));
        const QString path = folder() + "/checks.png";
        QVERIFY(original.save(path));
        frmViewer *viewer = openViewer(path);
        QImage shown = viewer->picFramed()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1); // compared pixel for pixel
        QVERIFY2(shown.width() >= original.width() && shown.height() >= original.height()
                     && shown.width() <= original.width() + 1 && shown.height() <= original.height() + 1,
                 qPrintable(QStringLiteral("%1 x %2 screen pixels for a 65 x 49 picture at %3 pixels a point")
                                .arg(shown.width()).arg(shown.height()).arg(viewer->devicePixelRatioF())));
        QCOMPARE(shown.copy(original.rect()), original);
    }

    // A format whose header tells no size (Apple's icons) is laid out once its pixels arrive,
    // with the bars a picture of that size has.
    void aPictureWhoseHeaderTellsNoSizeIsLaidOutWhenItArrives()
    {
        QImage icon(1024, 1024, QImage::Format_ARGB32);
        icon.fill(Qt::darkCyan);
        const QString path = folder() + "/large.icns";
        QVERIFY(icon.save(path, "icns"));
        frmViewer *viewer = openViewer(path);
        viewing::PictureBox *box = viewer->picFramed();
        QCOMPARE(box->picture().size(), QSize(1024, 1024));
        QCOMPARE(box->size(), box->shownSize({1024, 1024}));
        QVERIFY(viewer->hScroll()->isVisibleTo(viewer));
        QVERIFY(viewer->vScroll()->isVisibleTo(viewer));
        QVERIFY(viewer->vScroll()->maximum() > 0);
    }

    void whenThePictureCannotBeShown_data()
    {
        QTest::addColumn<QStringList>("files"); // name:kind
        QTest::addColumn<QString>("open");
        QTest::addColumn<QList<int>>("answers"); // QMessageBox buttons
        QTest::addColumn<QStringList>("messages"); // %1 is the folder
        QTest::addColumn<QString>("shown");      // file shown in the end, empty for none
        QTest::addColumn<QString>("current");    // gCurrentPath in the end (in the folder)
        const int yes = QMessageBox::Yes;
        const int no = QMessageBox::No;
        const QString question = "%1/%2 is invalid.\rLoad next file?";

        QTest::newRow("text named .jpg, No: empty viewer")
            << QStringList{"a.jpg:text", "b.png:picture"} << "a.jpg" << QList<int>{no}
            << QStringList{question.arg("%1", "a.jpg")} << "" << "a.jpg";
        QTest::newRow("text named .jpg, Yes: the next file in the same window")
            << QStringList{"a.jpg:text", "b.png:picture"} << "a.jpg" << QList<int>{yes}
            << QStringList{question.arg("%1", "a.jpg")} << "b.png" << "b.png";
        QTest::newRow("Yes asks again for each unreadable file")
            << QStringList{"a.jpg:text", "b.jpg:empty", "c.png:cut", "d.jpg:pipe", "e.png:picture"} << "a.jpg"
            << QList<int>{yes, yes, yes}
            << QStringList{question.arg("%1", "a.jpg"), question.arg("%1", "b.jpg"), question.arg("%1", "c.png")}
            << "e.png" << "e.png";
        QTest::newRow("a pipe is not a picture, and never waited on")
            << QStringList{"p.jpg:pipe"} << "p.jpg" << QList<int>{no} << QStringList{question.arg("%1", "p.jpg")}
            << "" << "p.jpg";
        QTest::newRow("Yes on the last file of the folder stops asking")
            << QStringList{"a.png:picture", "z.jpg:text"} << "z.jpg" << QList<int>{yes}
            << QStringList{question.arg("%1", "z.jpg")} << "" << "z.jpg";
        QTest::newRow("missing folder") << QStringList{} << "nowhere/a.jpg" << QList<int>{}
                                        << QStringList{"File was not found"} << "" << "nowhere/a.jpg";
        QTest::newRow("missing file: nothing said") << QStringList{"b.png:picture"} << "a.png" << QList<int>{}
                                                    << QStringList{} << "" << "a.png";
        QTest::newRow("folder named like a picture: nothing said")
            << QStringList{"a.jpg:folder"} << "a.jpg" << QList<int>{} << QStringList{} << "" << "a.jpg";
        QTest::newRow("header claims 65535 x 65535")
            << QStringList{"huge.png:huge"} << "huge.png" << QList<int>{}
            << QStringList{"%1/huge.png is too large to open."} << "" << "huge.png";
    }

    void whenThePictureCannotBeShown()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, open);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, messages);
        QFETCH(QString, shown);
        QFETCH(QString, current);
        for (const QString &f : files)
            test::writeKind(folder(), f.section(':', 0, 0), f.section(':', 1));
        for (int a : answers)
            MessageBox::queueAnswer(QMessageBox::StandardButton(a));

        test::StallWatch watch;
        frmViewer *viewer = openViewer(path(open));
        QCOMPARE(watch.end(), QString());

        QStringList expected;
        for (const QString &m : messages)
            expected << (m.contains("%1") ? m.arg(folder()) : m);
        QCOMPARE(MessageBox::shownTexts(), expected);
        for (const auto &m : MessageBox::shown()) {
            QCOMPARE(m.title, QStringLiteral("Pixdock"));
            QCOMPARE(m.icon, MessageBox::Icon::None);
            QCOMPARE(m.buttons, m.text.endsWith("Load next file?") ? QMessageBox::Yes | QMessageBox::No
                                                                   : QMessageBox::StandardButtons(QMessageBox::Ok));
        }
        QCOMPARE(gCurrentPath, path(current));
        QCOMPARE(viewer->windowTitle(), caption::Viewer);
        QCOMPARE(viewer->cmdClose()->y(), twips::toPixels(viewer->heightTwips() - 2000 + 510));
        QVERIFY(!viewer->hScroll()->isVisible() && !viewer->vScroll()->isVisible());
        if (shown.isEmpty()) {
            QVERIFY(viewer->picFramed()->isHidden());
            // Nothing shown: the status names the file asked for, as gCurrentPath does.
            QCOMPARE(frameStatusText(), path(current));
        } else {
            QVERIFY(viewer->picFramed()->isVisible());
            QCOMPARE(viewer->picFramed()->size(), QSize(30, 20));
            QCOMPARE(frameStatusText(), path(shown));
        }
    }

    void emptyPathLoadsNothingAndEmptiesTheStatus()
    {
        frmViewer *viewer = openViewer(QString());
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(!viewer->picFramed()->showsPicture());
        QCOMPARE(frameStatusText(), QString());
        QCOMPARE(viewer->windowTitle(), caption::Viewer);
    }

    void closingAnyViewerForgetsTheSharedOne()
    {
        gCurrentPath = test::writePicture(folder(), "a.png", {30, 20});
        frmViewer *shared = frmViewer::openShared();
        QCOMPARE(loadedSharedWindow<frmViewer>(), shared);
        // Opening it again replaces it.
        QPointer<frmViewer> first = shared;
        shared = frmViewer::openShared();
        test::flushDeletes();
        QVERIFY(first.isNull());
        QCOMPARE(WindowList::instance().count(), 3);

        QTest::mouseClick(shared->cmdClose(), Qt::LeftButton);
        QVERIFY(!loadedSharedWindow<frmViewer>());
        QCOMPARE(WindowList::instance().count(), 2);

        shared = frmViewer::openShared();
        frmViewer *other = frmViewer::openNew();
        other->unload();
        QVERIFY(!loadedSharedWindow<frmViewer>());
    }

    void closingTheLastViewerLetsThePreloadedPictureGo_data()
    {
        QTest::addColumn<bool>("anotherViewer");
        QTest::newRow("the only viewer closed: let go") << false;
        QTest::newRow("another viewer still open: kept") << true;
    }

    void closingTheLastViewerLetsThePreloadedPictureGo()
    {
        QFETCH(bool, anotherViewer);
        auto &preloader = viewing::PicturePreloader::instance();
        const QString b = test::writePicture(folder(), "b.png", {30, 20});
        frmViewer *viewer = openViewer(test::writePicture(folder(), "a.png", {30, 20}));
        if (anotherViewer)
            openViewer(QString());
        preloader.waitUntilIdle();
        QVERIFY(preloader.isReady(b));
        viewer->unload();
        QCoreApplication::processEvents();
        QCOMPARE(preloader.isReady(b), anotherViewer);
    }
};

PIXDOCK_REGISTER_TEST(TestFrmViewer)
#include "tst_frmViewer.moc"
