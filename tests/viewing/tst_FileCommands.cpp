// Open, Properties and Print: the dialog they prepare, which viewer goes, what they show and
// where the printed picture lands on a real PDF page.
#include "CommonDialog.h"
#include "FileCommands.h"
#include "HostFrame.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "ViewingTestFiles.h"
#include "WindowList.h"
#include "frmViewer.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageLayout>
#include <QPdfDocument>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace pixdock;
using namespace pixdock::viewing;

namespace {
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

class TestFileCommands : public QObject
{
    Q_OBJECT
    test::HostFrame *m_frame = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_dataDir; // pictures made by _data() functions, which run before init()

    QString folder() const { return m_dir->path(); }
    CommonDialog &dialog() { return m_frame->commonDialog(); }

private slots:
    void init()
    {
        test::resetProgramState();
        m_frame = new test::HostFrame;
        m_dir = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
        test::resetProgramState();
        delete m_frame;
    }

    void kilobytes_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("one decimal") << qint64(12345) << "C" << "12.3 KB";
        QTest::newRow("below one") << qint64(500) << "C" << "0.5 KB";
        QTest::newRow("no trailing zero") << qint64(2000) << "C" << "2 KB";
        QTest::newRow("half goes down to even") << qint64(250) << "C" << "0.2 KB";
        QTest::newRow("half goes up to even") << qint64(350) << "C" << "0.4 KB";
        QTest::newRow("just over half") << qint64(251) << "C" << "0.3 KB";
        QTest::newRow("nothing") << qint64(0) << "C" << "0 KB";
        QTest::newRow("half of a tenth to even zero") << qint64(50) << "C" << "0 KB";
        QTest::newRow("rounding carries into the units") << qint64(999950) << "C" << "1000 KB";
        QTest::newRow("no group separator") << qint64(1234567) << "en_US" << "1234.6 KB";
        QTest::newRow("the user's decimal separator") << qint64(12345) << "de_DE" << "12,3 KB";
        QTest::newRow("beyond 32 bits") << qint64(5'000'000'049) << "C" << "5000000 KB";
    }

    void kilobytes()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QCOMPARE(kilobytesText(bytes, QLocale(locale)), text);
    }

    void openShowsTheChosenPictureInANewViewer_data()
    {
        QTest::addColumn<bool>("panelVariant");
        QTest::newRow("main window") << false;
        QTest::newRow("control panel") << true;
    }

    void openShowsTheChosenPictureInANewViewer()
    {
        QFETCH(bool, panelVariant);
        const QString path = test::writePicture(folder(), "a b's 100%.png", {30, 20});
        CommonDialog::presetOpen(path);
        openPictureCommand(dialog(), panelVariant);
        QCOMPARE(gCurrentPath, path);
        QCOMPARE(frameStatusText(), path);
        auto *viewer = qobject_cast<frmViewer *>(WindowList::instance().at(2));
        QVERIFY(viewer);
        QCOMPARE(viewer->picFramed()->size(), QSize(30, 20));

        const CommonDialog::Shown &shown = CommonDialog::shown().constLast();
        QCOMPARE(shown.kind, QStringLiteral("open"));
        QCOMPARE(shown.filter, GraphicsFilter);
        QCOMPARE(shown.filterIndex, 1);
        QCOMPARE(shown.initDir, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        QVERIFY(dialog().CancelError);
    }

    void openKeepsTheTitleAndFlagsThatPrintLeft()
    {
        test::openOtherWindow(QStringLiteral("Other")); // an active child, not a viewer
        CommonDialog::presetPrintCancel();
        printPicture(dialog(), m_frame->childArea()->activeSubWindow());
        CommonDialog::presetOpenCancel();
        openPictureCommand(dialog(), false);
        QCOMPARE(CommonDialog::shown().constLast().title, QStringLiteral("Print"));
        QCOMPARE(CommonDialog::shown().constLast().flags, 264);
    }

    void openReplacesOnlyALoneViewer_data()
    {
        QTest::addColumn<bool>("furtherWindow");
        QTest::newRow("frame, panel and viewer: the viewer goes") << false;
        QTest::newRow("a further window open: the viewer stays") << true;
    }

    void openReplacesOnlyALoneViewer()
    {
        QFETCH(bool, furtherWindow);
        CommonDialog::presetOpen(test::writePicture(folder(), "a.png", {30, 20}));
        openPictureCommand(dialog(), false);
        QPointer<QWidget> old = WindowList::instance().at(2);
        if (furtherWindow)
            test::openOtherWindow(caption::Search);
        const int before = WindowList::instance().count();
        CommonDialog::presetOpen(test::writePicture(folder(), "b.png", {30, 20}));
        openPictureCommand(dialog(), false);
        test::flushDeletes();
        QCOMPARE(old.isNull(), !furtherWindow);
        QCOMPARE(WindowList::instance().count(), furtherWindow ? before + 1 : before);
        QCOMPARE(WindowList::instance().captionAt(WindowList::instance().count() - 1), caption::Viewer);
    }

    void cancelledOpenChangesNothing()
    {
        const QString path = test::writePicture(folder(), "a.png", {30, 20});
        CommonDialog::presetOpen(path);
        openPictureCommand(dialog(), false);
        QWidget *viewer = WindowList::instance().at(2);
        CommonDialog::presetOpenCancel();
        openPictureCommand(dialog(), true);
        QCOMPARE(gCurrentPath, path);
        QCOMPARE(frameStatusText(), path);
        QCOMPARE(WindowList::instance().at(2), viewer);
        QCOMPARE(WindowList::instance().count(), 3);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Each Properties reports the picture at the current path, read from its file, whatever
    // viewers are open, and leaves the windows as they were.
    void propertiesReportTheCurrentPictureAndLeaveNoWindow_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("texts");
        const QString png = test::writePicture(m_dataDir.path(), "a.png", {640, 480});
        const QString turned = test::writeTurnedJpeg(m_dataDir.path(), "t.jpg", {60, 20});
        const QString text = test::writeBytes(m_dataDir.path(), "notes.jpg", "not a picture\n");
        QTest::newRow("640 by 480") << png << QStringList({kilobytesText(QFileInfo(png).size()), "640 X 480 pixels"});
        QTest::newRow("turned upright by its EXIF orientation")
            << turned << QStringList({kilobytesText(QFileInfo(turned).size()), "20 X 60 pixels"});
        QTest::newRow("not a picture: the file size only") << text << QStringList({"0 KB"});
    }

    void propertiesReportTheCurrentPictureAndLeaveNoWindow()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, texts);
        // Another picture was looked at, and its properties asked, before this one was opened.
        gCurrentPath = test::writePicture(folder(), "before.png", {30, 20});
        frmViewer::openNew();
        const QList<QWidget *> open = WindowList::instance().windows();
        pictureProperties();
        test::flushDeletes();
        QCOMPARE(MessageBox::shownTexts().constLast(), QStringLiteral("30 X 20 pixels"));
        QCOMPARE(WindowList::instance().windows(), open);
        MessageBox::clearRecord();

        gCurrentPath = path;
        pictureProperties();
        test::flushDeletes();
        QCOMPARE(MessageBox::shownTexts(), texts);
        QCOMPARE(WindowList::instance().windows(), open);
        QCOMPARE(gCurrentPath, path);
        QVERIFY(!loadedSharedWindow<frmViewer>());
    }

    void propertiesWithoutAPictureSayNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("nothing opened yet") << QString();
        QTest::newRow("file gone") << "/nowhere/a.png";
    }

    void propertiesWithoutAPictureSayNothing()
    {
        QFETCH(QString, path);
        gCurrentPath = path;
        pictureProperties();
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(!loadedSharedWindow<frmViewer>());
    }

    void printFillsTheSameBoxWhateverThePicture_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("throughSubWindow");
        QTest::newRow("wide picture") << QSize(200, 100) << false;
        QTest::newRow("tall picture, active sub-window given") << QSize(40, 300) << true;
    }

    void printFillsTheSameBoxWhateverThePicture()
    {
        QFETCH(QSize, size);
        QFETCH(bool, throughSubWindow);
        gCurrentPath = test::writePicture(folder(), "red.png", size, Qt::red);
        frmViewer *viewer = frmViewer::openNew();
        const QString pdf = folder() + "/page.pdf";
        CommonDialog::presetPrintToPdf(pdf);
        printPicture(dialog(), throughSubWindow ? static_cast<QWidget *>(viewer->subWindow()) : viewer);

        const CommonDialog::Shown &shown = CommonDialog::shown().constLast();
        QCOMPARE(shown.kind, QStringLiteral("print"));
        QCOMPARE(shown.title, QStringLiteral("Print"));
        QCOMPARE(shown.flags, 264);

        QPdfDocument document;
        QCOMPARE(document.load(pdf), QPdfDocument::Error::None);
        QCOMPARE(document.pageCount(), 1);
        const QSizeF page = document.pagePointSize(0);
        const double scale = 2.0; // 144 dots an inch
        const QImage rendered = document.render(0, (page * scale).toSize());
        // 500 twips (25 points) in from the printable origin, 7500 by 4500 twips (375 by 225 points).
        const QRectF printable = dialog().printer()->pageLayout().paintRect(QPageLayout::Point);
        const QRectF expected((printable.left() + 25) * scale, (printable.top() + 25) * scale, 375 * scale,
                              225 * scale);
        const QRect box = redBox(rendered);
        QVERIFY2(qAbs(box.left() - expected.left()) <= 2 && qAbs(box.top() - expected.top()) <= 2
                     && qAbs(box.right() + 1 - expected.right()) <= 2
                     && qAbs(box.bottom() + 1 - expected.bottom()) <= 2,
                 qPrintable(QStringLiteral("printed at %1,%2 %3x%4, expected %5,%6 %7x%8")
                                .arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())
                                .arg(expected.x()).arg(expected.y()).arg(expected.width()).arg(expected.height())));
    }

    // The print dialog a person sees offers no page range: a picture is one page.
    void thePrintDialogOffersNoPageRange()
    {
        gCurrentPath = test::writePicture(folder(), "a.png", {30, 20});
        frmViewer *viewer = frmViewer::openNew();
        QStringList offered{"the print dialog did not open"};
        QTimer::singleShot(0, this, [&offered] {
            auto *shown = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!shown)
                return;
            offered.clear();
            // Open the dialog's options as a person would, to see every choice it offers.
            for (QPushButton *button : shown->findChildren<QPushButton *>()) {
                if (button->text().remove('&').startsWith("Options"))
                    button->click();
            }
            int found = 0;
            for (const char *name : {"printRange", "pagesRadioButton", "pagesLineEdit", "from", "to"}) {
                for (QWidget *control : shown->findChildren<QWidget *>(QLatin1String(name))) {
                    ++found;
                    if (control->isVisible() && control->isEnabled())
                        offered << QLatin1String(name);
                }
            }
            if (!found)
                offered << "no page-range controls found at all";
            shown->reject();
        });
        CommonDialog::setAnsweringMode(false);
        const auto answering = qScopeGuard([] { CommonDialog::setAnsweringMode(true); });
        printPicture(dialog(), viewer);
        QCOMPARE(offered, QStringList());
    }

    void printPrintsNothingWithoutAPicture_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("dialogShown");
        QTest::newRow("no active child") << "none" << false;
        QTest::newRow("cancelled") << "cancel" << true;
        QTest::newRow("active child is not a viewer") << "other" << true;
        QTest::newRow("viewer without a picture") << "empty viewer" << true;
    }

    void printPrintsNothingWithoutAPicture()
    {
        QFETCH(QString, situation);
        QFETCH(bool, dialogShown);
        QWidget *active = nullptr;
        const QString pdf = folder() + "/page.pdf";
        if (situation == "cancel") {
            gCurrentPath = test::writePicture(folder(), "a.png", {30, 20});
            active = frmViewer::openNew();
            CommonDialog::presetPrintCancel();
        } else if (situation == "other") {
            active = test::openOtherWindow(QStringLiteral("Other"));
            CommonDialog::presetPrintToPdf(pdf);
        } else if (situation == "empty viewer") {
            gCurrentPath = folder() + "/missing.png";
            active = frmViewer::openNew();
            CommonDialog::presetPrintToPdf(pdf);
        }
        printPicture(dialog(), active);
        QCOMPARE(CommonDialog::shown().size(), dialogShown ? 1 : 0);
        QVERIFY(!QFileInfo::exists(pdf));
        if (situation == "other" || situation == "empty viewer")
            CommonDialog::clearRecord(); // the preset went to the dialog; nothing is left over
    }
};

PIXDOCK_REGISTER_TEST(TestFileCommands)
#include "tst_FileCommands.moc"
