// Open, Properties and Print: the dialog they prepare, which viewer goes, what they show and
// where the printed picture lands on a real PDF page.
#include "CommonDialog.h"
#include "FileCommands.h"
#include "ViewingTestCase.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPageLayout>
#include <QPdfDocument>
#include <QPrinter>
#include <QTimer>

namespace {
// Runs `command` with the real dialogs; `step` runs on the modal dialog of that kind once it
// shows, then cancels it; a failed check in `step` leaves it cancelled all the same.
template<class Dialog, class Step, class Command>
void withRealDialog(Step step, Command command)
{
    CommonDialog::setAnsweringMode(false);
    const auto answering = qScopeGuard([] { CommonDialog::setAnsweringMode(true); });
    QTimer::singleShot(0, [step] {
        auto *box = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!box)
            return;
        const auto cancel = qScopeGuard([box] { QTimer::singleShot(0, box, &QDialog::reject); });
        step(box);
    });
    command();
}

// The smallest rectangle holding every clearly red pixel.
QRect redBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}
} // namespace

class TestFileCommands : public test::ViewerTestCase
{
    Q_OBJECT
    QTemporaryDir m_dataDir; // pictures made by _data() functions, which run before init()

private slots:

    void kilobytes_data()
    {
        test::columns<qint64, QString, QString>("bytes", "locale", "text");
        QTest::newRow("no trailing zero") << qint64(2000) << "C" << "2 KB";
        QTest::newRow("half goes down to even") << qint64(250) << "C" << "0.2 KB";
        QTest::newRow("half goes up to even") << qint64(350) << "C" << "0.4 KB";
        QTest::newRow("just over half") << qint64(251) << "C" << "0.3 KB";
        QTest::newRow("rounding carries into the units") << qint64(999950) << "C" << "1000 KB";
        QTest::newRow("no group separator") << qint64(1234567) << "en_US" << "1234.6 KB";
        QTest::newRow("the user's decimal separator") << qint64(12345) << "de_DE" << "12,3 KB";
        QTest::newRow("beyond 32 bits") << qint64(5'000'000'049) << "C" << "5000000 KB";
    }

    void kilobytes()
    {
        const auto [bytes, locale] = test::fetch<qint64, QString>("bytes", "locale");
        QTEST(kilobytesText(bytes, QLocale(locale)), "text");
    }

    // The chosen picture in a new viewer; a cancelled Open changes nothing; the next Open
    // replaces the viewer when it is the only window beside the frame and the panel. Open starts
    // in the current picture's folder, else (none yet, or its folder gone) in Documents, else home.
    void openShowsTheChosenPictureInANewViewer_data()
    {
        test::columns<bool, bool, bool>("panelVariant", "furtherWindow", "documents");
        QTest::newRow("main window, the viewer alone: it goes") << false << false << true;
        QTest::newRow("control panel, a further window open: the viewer stays; no Documents") << true << true << false;
    }
    void openShowsTheChosenPictureInANewViewer()
    {
        const auto [panelVariant, furtherWindow, documents] = test::fetch<bool, bool, bool>("panelVariant", "furtherWindow", "documents");
        const QString documentsFolder = QDir::home().filePath(QStringLiteral("Documents"));
        const auto noDocuments = qScopeGuard([documentsFolder] { QDir(documentsFolder).removeRecursively(); });
        QVERIFY(QDir(documentsFolder).removeRecursively() && (!documents || QDir().mkpath(documentsFolder)));
        const QString start = documents ? documentsFolder : QDir::homePath();
        const QString path = picture("a b's 100%.png");
        CommonDialog::presetOpen(path);
        openPictureCommand(dialog(), panelVariant);
        QPointer<frmViewer> viewer = firstViewer();
        QCOMPARE(viewer->picFramed()->size(), QSize(30, 20));
        const CommonDialog::Shown &shown = CommonDialog::shown().constLast();
        QCOMPARE(shown.kind + shown.filter + QString::number(shown.filterIndex) + shown.initDir, "open" + graphicsFilter() + "1" + start);
        CommonDialog::presetOpenCancel();
        openPictureCommand(dialog(), true);
        QCOMPARE(CommonDialog::shown().constLast().initDir, folder());
        QCOMPARE(shownPath(), path);
        QCOMPARE(WindowList::instance().windows().mid(2), QList<QWidget *>{viewer});
        QVERIFY(MessageBox::shown().isEmpty());
        if (furtherWindow)
            test::openOtherWindow(caption::Search);
        CommonDialog::presetOpen(picture("b.png"));
        openPictureCommand(dialog(), false);
        test::flushDeletes();
        QCOMPARE(viewer.isNull(), !furtherWindow);
        QCOMPARE(test::captions().mid(2), furtherWindow ? QStringList({caption::Viewer, caption::Search, caption::Viewer}) : QStringList{caption::Viewer});
        gCurrentPath = folder() + "/gone/a.png";
        CommonDialog::presetOpenCancel();
        openPictureCommand(dialog(), false);
        QCOMPARE(CommonDialog::shown().constLast().initDir, start);
    }

    // Qt's own dialogs. Open, as a user meets it with no Documents folder: the file name box
    // empty, a typed path holding a quote opens, and the next Open lists every picture (capital
    // suffixes and .jpeg too) in that picture's folder, and no other file. Print offers no page
    // range.
    void theRealDialogsTakeATypedPathListEveryPictureAndOfferNoPageRange()
    {
        QDir::home().rmdir(QStringLiteral("Documents"));
        const QString quoted = picture("say \"cheese\".png");
        for (const char *name : {"b.jpeg", "C.JPG", "d.webp"})
            picture(name);
        test::writeBytes(folder(), "notes.txt", "not a picture");
        QString typed = "?", start;
        const auto open = [this] { openPictureCommand(dialog(), false); };
        withRealDialog<QFileDialog>([&](QFileDialog *box) {
            // The dialog gives the file name box the keyboard once it is active.
            QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
            typed = qobject_cast<QLineEdit *>(QApplication::focusWidget())->text();
            start = box->directory().absolutePath();
            QTest::keyClicks(QApplication::focusWidget(), quoted);
            QTest::mouseClick(box->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open), Qt::LeftButton);
        }, open);
        QCOMPARE(typed + start, QDir::homePath());
        QCOMPARE(shownPath(), quoted);

        const QStringList pictures({"C.JPG", "b.jpeg", "d.webp", "say \"cheese\".png"});
        QStringList listed;
        withRealDialog<QFileDialog>([&](QFileDialog *box) {
            auto *view = box->findChild<QAbstractItemView *>("listView");
            // The folder is read in the background; what it shows settles on the pictures.
            const auto shown = [view] {
                QStringList names;
                for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                    const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
                    if (index.flags() & Qt::ItemIsEnabled)
                        names << index.data().toString();
                }
                names.sort();
                return names;
            };
            QTRY_COMPARE(shown(), pictures);
            listed = shown();
        }, open);
        QCOMPARE(listed, pictures);

        // The print dialog a person sees offers no page range: a picture is one page.
        QStringList offered{"the print dialog did not open"};
        withRealDialog<QDialog>([&offered](QDialog *shown) {
            offered = QStringList{"no page-range controls found at all"};
            // Open the dialog's options as a person would, to see every choice it offers.
            for (QPushButton *button : shown->findChildren<QPushButton *>())
                if (button->text().remove('&').startsWith("Options"))
                    button->click();
            for (const char *name : {"printRange", "pagesRadioButton", "pagesLineEdit", "from", "to"})
                for (QWidget *control : shown->findChildren<QWidget *>(QLatin1String(name))) {
                    offered.removeAll("no page-range controls found at all");
                    if (control->isVisible() && control->isEnabled())
                        offered << QLatin1String(name);
                }
        }, [this] { printPicture(dialog(), firstViewer()); });
        QCOMPARE(offered, QStringList());
    }

    // Each Properties reports the picture at the current path, read from its file, whatever
    // viewers are open, and leaves the windows as they were.
    void propertiesReportTheCurrentPictureAndLeaveNoWindow_data()
    {
        test::columns<QString, QStringList>("path", "texts");
        // The file's size, then its pixels.
        const auto row = [](const char *tag, const QString &file, const QString &pixels) {
            QTest::newRow(tag) << file << QStringList({kilobytesText(QFileInfo(file).size()), pixels});
        };
        const QString d = m_dataDir.path();
        row("turned upright by its EXIF orientation", test::writeTurnedJpeg(d, "t.jpg", {60, 20}), "20 X 60 pixels");
        QTest::newRow("not a picture: the file size only") << test::writeBytes(d, "notes.jpg", "not a picture\n")
                                                           << QStringList({"0 KB"});
        QTest::newRow("nothing opened yet: nothing said") << QString() << QStringList();
        QTest::newRow("file gone: nothing said") << "/nowhere/a.png" << QStringList();
        // Apple's icons tell no size in their header: the picture is decoded to measure it.
        if (test::filled({256, 256}, Qt::darkCyan, QImage::Format_ARGB32).save(d + "/icon.icns", "icns"))
            row("a header without a size", d + "/icon.icns", "256 X 256 pixels");
    }

    void propertiesReportTheCurrentPictureAndLeaveNoWindow()
    {
        const auto [path, texts] = test::fetch<QString, QStringList>("path", "texts");
        // Another picture was looked at, and its properties asked, before this one was opened.
        const QString before = picture("before.png");
        openNew(before);
        const QList<QWidget *> open = WindowList::instance().windows();
        for (const QString &asked : {before, path}) {
            MessageBox::clearRecord();
            gCurrentPath = asked;
            pictureProperties();
            test::flushDeletes();
            QCOMPARE(MessageBox::shownTexts(), asked == path ? texts : QStringList({kilobytesText(QFileInfo(before).size()), "30 X 20 pixels"}));
            QCOMPARE(WindowList::instance().windows(), open);
            QCOMPARE(gCurrentPath, asked);
        }
        QVERIFY(!loadedSharedWindow<frmViewer>());
    }

    // The picture fills the same box whatever its shape; with no picture to print nothing is
    // printed; the title and flags the print dialog was given stay for the next Open.
    void printFillsTheSameBoxOnlyForAPicture_data()
    {
        test::columns<QString, QSize>("active", "size");
        QTest::newRow("wide picture") << "viewer" << QSize(200, 100);
        QTest::newRow("tall picture, active sub-window given") << "sub-window" << QSize(40, 300);
        QTest::newRow("no active child: no dialog") << "none" << QSize();
        QTest::newRow("cancelled") << "cancel" << QSize(30, 20);
        QTest::newRow("active child is not a viewer") << "other" << QSize();
        QTest::newRow("viewer without a picture") << "empty viewer" << QSize();
    }

    void printFillsTheSameBoxOnlyForAPicture()
    {
        const auto [active, size] = test::fetch<QString, QSize>("active", "size");
        const QString pdf = folder() + "/page.pdf";
        gCurrentPath = size.isValid() ? picture("red.png", size, Qt::red) : path("missing.png");
        frmViewer *viewer = active == "none" || active == "other" ? nullptr : frmViewer::openNew();
        QWidget *child = active == "other" ? test::openOtherWindow("Other") : static_cast<QWidget *>(viewer);
        if (active == "sub-window")
            child = viewer->subWindow();
        if (active != "none")
            active == "cancel" ? CommonDialog::presetPrintCancel() : CommonDialog::presetPrintToPdf(pdf);
        printPicture(dialog(), child);
        QCOMPARE(CommonDialog::shown().size(), active == "none" ? 0 : 1);
        // The last dialog's kind, title and flags.
        const auto last = [] { return CommonDialog::shown().constLast().kind + CommonDialog::shown().constLast().title
                                      + QString::number(CommonDialog::shown().constLast().flags); };
        if (active != "none")
            QCOMPARE(last(), QStringLiteral("printPrint264"));
        QCOMPARE(QFileInfo::exists(pdf), active == "viewer" || active == "sub-window");
        if (QFileInfo::exists(pdf)) {
            QPdfDocument document;
            QCOMPARE(document.load(pdf), QPdfDocument::Error::None);
            QCOMPARE(document.pageCount(), 1);
            const double scale = 2.0; // 144 dots an inch
            const QRectF box = redBox(document.render(0, (document.pagePointSize(0) * scale).toSize()));
            // 500 twips (25 points) in from the printable origin, 7500 by 4500 twips (375 by 225 points).
            const QRectF printable = dialog().printer()->pageLayout().paintRect(QPageLayout::Point);
            const QRectF expected(QPointF(printable.left() + 25, printable.top() + 25) * scale, QSizeF(375, 225) * scale);
            for (const QPointF corner : {box.topLeft() - expected.topLeft(), box.bottomRight() - expected.bottomRight()})
                QVERIFY2(qAbs(corner.x()) <= 2 && qAbs(corner.y()) <= 2, qPrintable(QStringLiteral("printed at %1,%2 %3x%4")
                             .arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())));
        }
        if (active == "other" || active == "empty viewer")
            CommonDialog::clearRecord(); // the preset went to the dialog; nothing is left over
        CommonDialog::presetOpenCancel();
        openPictureCommand(dialog(), false);
        if (active != "none")
            QCOMPARE(last(), QStringLiteral("openPrint264"));
    }
};

PIXDOCK_REGISTER_TEST(TestFileCommands)
#include "tst_FileCommands.moc"
