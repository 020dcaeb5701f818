// The viewer window: placing itself, the picture and its scroll bars (and the layout
// arithmetic behind them), and what the user sees when the picture cannot be shown.
#include "UserInput.h"
#include "ViewerLayout.h"
#include "ViewingTestCase.h"

#include <QKeySequence>

#include <limits>

class TestFrmViewer : public test::ViewerTestCase
{
    Q_OBJECT
private slots:
    void barsAppearOnlyForAPictureLargerThanTheFrame_data()
    {
        // extraWidth: pixels beyond the frame
        test::columns<int, int>("extraWidth", "extraHeight");
        QTest::newRow("as large as fits") << 0 << 0;
        QTest::newRow("one pixel higher") << 0 << 1;
        QTest::newRow("one pixel wider") << 1 << 0;
        QTest::newRow("larger both ways") << 300 << 200;
    }

    void barsAppearOnlyForAPictureLargerThanTheFrame()
    {
        const auto [extraWidth, extraHeight] = test::fetch<int, int>("extraWidth", "extraHeight");
        // Measure the frame with a first viewer, right of the panel, then open the picture
        // that fits it so.
        frmViewer *probe = openViewer(QString());
        // An empty path loads nothing, says nothing and empties the status.
        QVERIFY(MessageBox::shown().isEmpty() && !probe->picFramed()->showsPicture() && frameStatusText().isEmpty());
        // At the top, right of the panel, as high as it, as wide as the frame less a quarter more.
        const auto near = [](double a, double b) { return qAbs(a - b) <= twips::PerPixel; };
        QVERIFY(probe->topTwips() == 0 && near(probe->leftTwips(), panelWidthTwips()) && near(probe->heightTwips(), panelHeightTwips())
                && near(probe->widthTwips(), frame()->widthTwips() - 1.25 * panelWidthTwips()));
        // The frame fills the window less 1000 across and 2000 down; Close sits under its bar.
        const int frameWidth = probe->widthTwips() - 1000, frameHeight = probe->heightTwips() - 2000;
        // Resizing the window moves none of it.
        for (int resized = 0; resized < 2; ++resized) {
            QCOMPARE(probe->framePicHolder()->geometry(), twips::rectToPixels(0, 0, frameWidth, frameHeight));
            QCOMPARE(probe->cmdClose()->y(), twips::toPixels(frameHeight + 510));
            probe->subWindow()->resize(probe->subWindow()->size() + QSize(200, 150));
        }
        probe->unload();
        const QSize size(frameWidth / 15 + extraWidth, frameHeight / 15 + extraHeight);
        frmViewer *viewer = openViewer(picture("p.png", size));

        // At the top left of the frame, at its own size; a bar only where it is larger.
        QCOMPARE((QVariantList{viewer->picFramed()->geometry(), viewer->vScroll()->isVisible(), viewer->hScroll()->isVisible()}),
                 (QVariantList{QRect(QPoint(0, 0), size), extraHeight > 0, extraWidth > 0}));
        if (extraHeight > 0) {
            const int high = size.height() * 15;
            QCOMPARE((QList<int>{viewer->vScroll()->maximum(), viewer->vScroll()->singleStep(), viewer->vScroll()->pageStep()}),
                     (QList<int>{int(std::lrint((high - frameHeight - 1) * 1.1)), high / 20, high / 10}));
            QCOMPARE(viewer->vScroll()->geometry(), twips::rectToPixels(frameWidth, 0, 255, frameHeight));
        }
        if (extraWidth > 0) {
            QCOMPARE(viewer->hScroll()->maximum(), int(std::lrint((size.width() * 15 - frameWidth - 1) * 1.2)));
            QCOMPARE(viewer->hScroll()->geometry(), twips::rectToPixels(0, frameHeight, frameWidth, 255));
        }
    }

    // The wheel over the picture and the keys while the viewer has the focus move the same
    // bars a click on them would, by their small and large steps; while a thumb is dragged the
    // picture stays, and it follows when the drag ends. The picture is of a format whose header
    // tells no size (Apple's icons): it is laid out once its pixels arrive.
    void wheelAndKeysScrollThroughTheBars_data()
    {
        // bar: the bar that moves: "v" or "h"
        // value: "small", "large", "max" or a number
        test::columns<QString, QString, QString>("input", "bar", "value");
        QTest::newRow("wheel up at the top, then two notches down") << "wheel 0 120, wheel 0 -240" << "v" << "1536";
        QTest::newRow("Shift+wheel goes sideways") << "shift-wheel 0 -120" << "h" << "small";
        QTest::newRow("sideways wheel") << "wheel -120 0" << "h" << "small";
        QTest::newRow("half a notch twice is one step") << "wheel 0 -60, wheel 0 -60" << "v" << "small";
        QTest::newRow("Down") << "key Down" << "v" << "small";
        QTest::newRow("Right") << "key Right" << "h" << "small";
        QTest::newRow("Page Down") << "key PgDown" << "v" << "large";
        QTest::newRow("End") << "key End" << "v" << "max";
        QTest::newRow("End, then Home") << "key End, key Home" << "v" << "0";
        QTest::newRow("Right, then Left") << "key Right, key Left" << "h" << "0";
        QTest::newRow("thumb dragged") << "drag 1000" << "h" << "1000";
    }

    void wheelAndKeysScrollThroughTheBars()
    {
        const auto [input, bar, value] = test::fetch<QString, QString, QString>("input", "bar", "value");
        frmViewer *viewer = openViewer(picture("large.icns", {1024, 1024}));
        viewing::PictureBox *shown = viewer->picFramed();
        QVERIFY(shown->picture().size() == QSize(1024, 1024) && shown->size() == shown->shownSize({1024, 1024}));
        // Its top left corner is in sight; the rest lies beyond the frame.
        const QPoint inSight(10, 10);
        test::clickOn(shown, inSight);
        for (const QString &step : input.split(", ")) {
            const QStringList parts = step.split(' ');
            if (parts.at(0) == "key")
                QVERIFY(test::pressKey(QKeySequence::fromString(parts.at(1))[0].key()));
            else if (parts.at(0) == "drag") {
                viewer->hScroll()->setSliderDown(true);
                viewer->hScroll()->setSliderPosition(parts.at(1).toInt());
                QCOMPARE(shown->x(), 0);
                viewer->hScroll()->setSliderDown(false);
            } else
                test::turnWheel(shown, inSight, QPoint(parts.at(1).toInt(), parts.at(2).toInt()),
                                parts.at(0) == "shift-wheel" ? Qt::ShiftModifier : Qt::NoModifier);
        }
        QScrollBar *moved = bar == "v" ? viewer->vScroll() : viewer->hScroll();
        QScrollBar *still = bar == "v" ? viewer->hScroll() : viewer->vScroll();
        const int expected = value == "small" ? moved->singleStep() : value == "large" ? moved->pageStep()
                                                                    : value == "max" ? moved->maximum() : value.toInt();
        QCOMPARE(QPoint(moved->value(), still->value()), QPoint(expected, 0));
        QCOMPARE(shown->pos(), QPoint(-twips::toPixels(viewer->hScroll()->value()), -twips::toPixels(viewer->vScroll()->value())));
    }

    void whenThePictureCannotBeShown_data()
    {
        // files: name:kind, as test::writeKind writes them
        // answers: Y or N to each question in turn
        // said: the files said to be invalid, or !a message (%1 the folder)
        // shown: the file shown in the end, empty for none
        test::columns<QString, QString, QString, QString, QString>("files", "open", "answers", "said", "shown");
        const QString text = "a.jpg:text b.png:picture";
        QTest::newRow("text named .jpg, No: empty viewer") << text << "a.jpg" << "N" << "a.jpg" << "";
        QTest::newRow("Yes asks again for each unreadable file") << "a.jpg:text b.jpg:empty c.png:cut d.jpg:pipe e.png:picture"
                                                                 << "a.jpg" << "YYY" << "a.jpg b.jpg c.png" << "e.png";
        QTest::newRow("a pipe is not a picture, and never waited on") << "p.jpg:pipe" << "p.jpg" << "N" << "p.jpg" << "";
        QTest::newRow("Yes on the last file of the folder stops asking") << "a.png:picture z.jpg:text" << "z.jpg" << "Y" << "z.jpg" << "";
        QTest::newRow("missing folder") << "" << "nowhere/a.jpg" << "" << "!File was not found" << "";
        QTest::newRow("missing file: nothing said") << "b.png:picture" << "a.png" << "" << "" << "";
        QTest::newRow("folder named like a picture: nothing said") << "a.jpg:folder" << "a.jpg" << "" << "" << "";
        QTest::newRow("header claims 65535 x 65535") << "huge.png:huge" << "huge.png" << "" << "!%1/huge.png is too large to open." << "";
    }

    void whenThePictureCannotBeShown()
    {
        const auto [files, open, answers, said, shown] = test::fetch<QString, QString, QString, QString, QString>(
            "files", "open", "answers", "said", "shown");
        for (const QString &f : files.split(' ', Qt::SkipEmptyParts))
            test::writeKind(folder(), f.section(':', 0, 0), f.section(':', 1));
        for (QChar a : answers)
            MessageBox::queueAnswer(a == 'Y' ? QMessageBox::Yes : QMessageBox::No);

        frmViewer *viewer = openViewer(path(open));
        QStringList messages;
        for (const QString &name : said.split(' ', Qt::SkipEmptyParts))
            messages << path(name) + " is invalid.\rLoad next file?";
        if (said.startsWith('!'))
            messages = QStringList{said.mid(1).replace("%1", folder())};
        QCOMPARE(MessageBox::shownTexts(), messages);
        for (const auto &m : MessageBox::shown())
            QVERIFY(m.title == "Pixdock" && m.icon == MessageBox::Icon::None
                    && m.buttons == (m.text.endsWith('?') ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok));
        // Nothing shown: the status names the file asked for, as gCurrentPath does.
        QCOMPARE(shownPath(), path(shown.isEmpty() ? open : shown));
        QCOMPARE((QVariantList{viewer->hScroll()->isVisible(), viewer->vScroll()->isVisible(), viewer->picFramed()->isVisible()}),
                 (QVariantList{false, false, !shown.isEmpty()}));
        QVERIFY(shown.isEmpty() || viewer->picFramed()->size() == QSize(30, 20));
    }

    // Closing any viewer forgets the shared one; the next file made ready goes only with the
    // last viewer.
    void closingAnyViewerForgetsTheSharedOne()
    {
        auto &preloader = viewing::PicturePreloader::instance();
        const QString b = picture("b.png");
        gCurrentPath = picture("a.png");
        QPointer<frmViewer> first = frmViewer::openShared();
        QCOMPARE(loadedSharedWindow<frmViewer>(), first);
        // Opening it again replaces it.
        frmViewer *shared = frmViewer::openShared();
        test::flushDeletes();
        QVERIFY(first.isNull() && WindowList::instance().count() == 3);
        shared->picFramed()->waitForPicture();
        preloader.waitUntilIdle();
        QVERIFY(preloader.isReady(b));
        QTest::mouseClick(shared->cmdClose(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!loadedSharedWindow<frmViewer>() && !preloader.isReady(b) && WindowList::instance().count() == 2);

        frmViewer::openShared()->picFramed()->waitForPicture();
        frmViewer *other = frmViewer::openNew();
        preloader.waitUntilIdle();
        other->unload();
        QCoreApplication::processEvents();
        QVERIFY(!loadedSharedWindow<frmViewer>() && preloader.isReady(b));
    }

    // The layout arithmetic at its edges: ties, and ranges past 16 bits and past int.
    void scrollBarsFollowThePicture_data()
    {
        test::columns<int, int, qint64, qint64, QRect>("windowWidth", "windowHeight", "pictureWidth", "pictureHeight", "frame");
        // maximum, small step, large step, 1 (in place); -1 for a hidden bar
        test::columns<QList<int>, QList<int>>("vertical", "horizontal");
        const QList<int> none{-1};
        // A 6000 x 6000 window, whose frame is 5000 x 4000, unless the row says otherwise.
        const auto row = [](const char *tag, qint64 width, qint64 height, QList<int> v, QList<int> h,
                            QSize window = {6000, 6000}, QRect frame = {0, 0, 5000, 4000}) {
            QTest::newRow(tag) << window.width() << window.height() << width << height << frame << v << h;
        };
        row("larger both ways: 10% and 20% past the overhang", 8000, 7000, {3299, 350, 700, 1}, {3599, 400, 800, 1});
        row("exactly as high and as wide as the frame: no bars", 5000, 4000, none, none);
        row("one twip higher than the frame", 5000, 4001, {0, 200, 400, 1}, none);
        row("a tie rounds to the even neighbour (16.5 -> 16)", 100, 4016, {16, 200, 401, 1}, none);
        row("a tie rounds to the even neighbour (5.5 -> 6)", 100, 4006, {6, 200, 400, 1}, none);
        row("past 16 bits the range keeps growing", 5000 + 27308, 4000 + 29800, {32779, 1690, 3380, 1},
            {32768, 1615, 3230, 1});
        row("beyond int the range stops at its largest value", 100, 3'000'000'000,
            {std::numeric_limits<int>::max(), 150'000'000, 300'000'000, 1}, none);
        row("a window too small for a frame", 15, 15, {15, 1, 1, 1}, {17, 1, 1, 1}, {900, 1500}, {});
    }

    void scrollBarsFollowThePicture()
    {
        const auto [windowWidth, windowHeight, pictureWidth, pictureHeight, frame] = test::fetch<int, int, qint64, qint64, QRect>(
            "windowWidth", "windowHeight", "pictureWidth", "pictureHeight", "frame");
        const ViewerLayout layout = viewing::layoutViewer(windowWidth, windowHeight, pictureWidth, pictureHeight);
        QCOMPARE(layout.frame, frame);
        // The vertical bar against the frame's right edge, the horizontal one under it.
        const auto bar = [](const viewing::ScrollBarLayout &b, QRect at) {
            return b.visible ? QList<int>{b.maximum, b.smallStep, b.largeStep, int(b.geometry == at)} : QList<int>{-1};
        };
        QTEST(bar(layout.vScroll, QRect(frame.width(), 0, viewing::ScrollBarThickness, frame.height())), "vertical");
        QTEST(bar(layout.hScroll, QRect(0, frame.height(), frame.width(), viewing::ScrollBarThickness)), "horizontal");
    }
};

PIXDOCK_REGISTER_TEST(TestFrmViewer)
#include "tst_frmViewer.moc"
