// Odd names: file names, folders and descriptions with quotes, wildcards, statement pieces, a
// newline, a leading dash, one accented name in NFC and in NFD, emoji, a 255-byte name and a
// 4,000-byte path are opened, added, searched, listed, stepped to and removed exactly. A file
// whose name is not valid UTF-8 is passed over by the folder listing without harm.
#include "CatalogueGrid.h"
#include "CatalogueStore.h"
#include "FolderListing.h"
#include "FolderStepping.h"
#include "MainWindowUnderTest.h"
#include "ThumbnailLoader.h"
#include "frmAdd.h"
#include "frmDelete.h"
#include "frmImgList.h"
#include "frmSearch.h"
#include "PictureBox.h"
#include "frmViewer.h"

#include <QLabel>
#include <QLineEdit>

#include <fcntl.h>
#include <unistd.h>

using namespace pixdock;
using catalogue::CatalogueRow;

namespace {

// Folders of 200-byte names under `root` until a file of `nameBytes` bytes in the last one makes
// a path of exactly `pathBytes` bytes.
QString deepFolder(const QString &root, int pathBytes, int nameBytes)
{
    QString folder = root;
    while (QFile::encodeName(folder).size() + 1 + 200 + 1 + nameBytes <= pathBytes)
        folder += QLatin1Char('/') + QString(200, QLatin1Char('d'));
    const int rest = pathBytes - int(QFile::encodeName(folder).size()) - 1 - nameBytes - 1;
    return rest > 0 ? folder + QLatin1Char('/') + QString(rest, QLatin1Char('e')) : folder;
}

QList<CatalogueRow> catalogueRows() { return catalogue::readRows(catalogue::sharedConnection(), catalogue::listStatement()); }

template<class Window>
Window *opened()
{
    Window *w = sharedWindow<Window>();
    w->showWindow();
    return w;
}

// Opens the add or delete window on the picture the status bar names, presses its button
// (the delete window's question answered Yes) and returns what its message says.
template<class Window>
QString pressedOn(const QString &path, void (Window::*press)(), const QString &description = {})
{
    frame()->setStatusText(path);
    Window *w = opened<Window>();
    if (auto *field = w->template findChild<QLineEdit *>(QStringLiteral("txtDescription")))
        field->setText(description);
    else
        MessageBox::queueAnswer(QMessageBox::Yes);
    (w->*press)();
    const QString said = w->template findChild<QLabel *>(QStringLiteral("lblMessage"))->text();
    w->unload();
    return said;
}

} // namespace

// On the real main window of a first run, its catalogue freshly made.
class TestOddNames : public test::MainWindowTest
{
    Q_OBJECT
private slots:
    void anOddNameIsOpenedAddedSearchedListedSteppedToAndRemovedExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pathBytes");
        QTest::newRow("single quote") << "O'Brien.png" << "Pat's" << "it's" << 0;
        QTest::newRow("double quote") << "say \"cheese\".png" << "\"quoted\"" << "\"cheese\"" << 0;
        QTest::newRow("percent") << "100% sure.png" << "50%" << "100%" << 0;
        QTest::newRow("underscore") << "under_score.png" << "a_b" << "r_s" << 0;
        QTest::newRow("statement pieces") << "semi;colon--.png" << "x;y" << "a'; DROP TABLE Info; --" << 0;
        QTest::newRow("newline") << "new\nline.png" << "two\nlines" << "line\nbreak" << 0;
        QTest::newRow("leading dash") << "-rf.png" << "-folder" << "-v" << 0;
        QTest::newRow("emoji") << QStringLiteral("😀 smile 🎉.png") << QStringLiteral("📁 folder") << QStringLiteral("🎉") << 0;
        // 255 bytes in UTF-8: 125 two-byte letters and "x.png".
        QTest::newRow("255-byte name") << QString(125, QChar(0xE9)) + "x.png" << "long" << "long name" << 0;
        QTest::newRow("4000-byte path") << "deep.png" << "" << "deep" << 4000;
    }
    void anOddNameIsOpenedAddedSearchedListedSteppedToAndRemovedExactly()
    {
        QFETCH(QString, name);
        QFETCH(QString, folder);
        QFETCH(QString, text);
        QFETCH(int, pathBytes);
        QTemporaryDir root;
        const QString dir = pathBytes > 0 ? deepFolder(root.path(), pathBytes, int(QFile::encodeName(name).size()))
                                          : root.path() + QLatin1Char('/') + folder;
        QVERIFY(QDir().mkpath(dir));
        const QString path = test::writePicture(dir, name, QSize(40, 30));
        QVERIFY(pathBytes == 0 || QFile::encodeName(path).size() == pathBytes);
        for (const char *neighbour : {"0 before.png", "~ after.png"})
            test::writePicture(dir, QLatin1String(neighbour), QSize(20, 20));
        const QString description = QStringLiteral("about ") + text;

        // Opened: the viewer shows it and the status bar names it.
        gCurrentPath = path;
        frmViewer *viewer = frmViewer::openNew();
        viewer->picFramed()->waitForPicture();
        QVERIFY(viewer->picFramed()->isComplete() && frameStatusText() == path);
        viewer->unload();

        // Added, exactly as it is spelled, beside a plain row.
        catalogue::addRow(catalogue::sharedConnection(), QStringLiteral("plain.png"), dir, QStringLiteral("plain"));
        QCOMPARE(pressedOn(path, &frmAdd::cmdAdd_Click, description), name + " has been added to the database.");
        QVERIFY(catalogueRows().contains(CatalogueRow{name, dir, description}));

        // Searched: the odd text finds its row only; its characters are not wildcards.
        frmSearch *search = opened<frmSearch>();
        search->findChild<QLineEdit *>(QStringLiteral("txtKeywords"))->setText(text);
        search->cmdSearch_Click();
        QCOMPARE(search->grid()->rows(), 2);
        QCOMPARE(QStringList({search->grid()->textOf(1, "FileName"), search->grid()->textOf(1, "Location")}), QStringList({name, dir}));
        search->unload();

        // Listed, and opened from the list: the viewer gets the very path.
        frmImgList *list = opened<frmImgList>();
        int listed = 0;
        for (int r = 1; r < list->grid()->rows(); ++r)
            listed = list->grid()->textOf(r, QStringLiteral("FileName")) == name ? r : listed;
        QVERIFY(listed > 0);
        list->grid()->setRow(listed);
        gCurrentPath.clear();
        list->MSHFlexGrid1_DblClick();
        QVERIFY(gCurrentPath == path && frameStatusText() == path);
        list->unload();
        closeAllViewers();

        // Stepped to and from: Next from the file before it, Previous from the file after it.
        const QStringList files = viewing::folderListing(dir);
        QCOMPARE(files.count(name), 1);
        for (qsizetype from : {files.indexOf(name) - 1, files.indexOf(name) + 1}) {
            if (from < 0 || from >= files.size())
                continue;
            frame()->setStatusText(dir + QLatin1Char('/') + files.at(from));
            from < files.indexOf(name) ? viewing::nextImage(viewing::FailurePolicy::SkipFailingSteps)
                                       : viewing::previousImage(viewing::FailurePolicy::EndAtFirstFailure);
            QVERIFY(gCurrentPath == path && frameStatusText() == path);
        }
        QVERIFY2(MessageBox::shownTexts().isEmpty(), qPrintable(MessageBox::shownTexts().join('|')));

        // A thumbnail is made of it.
        QCOMPARE(thumbnails::makeThumbnail(path, thumbnails::ThumbnailCache(root.filePath("cache"))).size(), QSize(100, 100));

        // Removed: its row goes, the plain row of the same folder stays.
        QCOMPARE(pressedOn(path, &frmDelete::cmdContinue_Click), name + " has been removed from the database.  ");
        QCOMPARE(catalogueRows(), (QList<CatalogueRow>{{QStringLiteral("plain.png"), dir, QStringLiteral("plain")}}));
        QVERIFY(QFile::exists(path));
    }

    // A file whose name is not valid UTF-8 is passed over by the listing and by stepping. One
    // accented name in NFC and in NFD: two files, two rows, found and removed apart.
    void accentsInTwoSpellingsStayTwoPicturesAndANameNotInUtf8IsPassedOver()
    {
        for (const char *name : {"a.png", "c.png"})
            test::writePicture(m_pictures.path(), QLatin1String(name), QSize(20, 20));
        const QByteArray bad = QFile::encodeName(m_pictures.path()) + "/b-\xff\xfe.png";
        const int fd = ::open(bad.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0 && ::close(fd) == 0);
        QCOMPARE(viewing::folderListing(m_pictures.path()), (QStringList{"a.png", "c.png"}));
        frame()->setStatusText(m_pictures.filePath("a.png"));
        viewing::nextImage(viewing::FailurePolicy::SkipFailingSteps);
        QCOMPARE(gCurrentPath, m_pictures.filePath("c.png"));
        QVERIFY(MessageBox::shownTexts().isEmpty());
        // Still there, untouched; removed here, as the temporary folder cannot name it.
        QCOMPARE(::unlink(bad.constData()), 0);

        const QString nfc = QStringLiteral("Caf\u00e9.png"), nfd = QStringLiteral("Cafe\u0301.png");
        const QTemporaryDir dir;
        const QString root = dir.path();
        test::writePicture(root, nfc, QSize(20, 20));
        test::writePicture(root, nfd, QSize(30, 30));
        QCOMPARE(viewing::folderListing(root).size(), 2);

        const auto db = catalogue::sharedConnection();
        catalogue::addRow(db, nfc, root, QStringLiteral("Caf\u00e9 in NFC"));
        catalogue::addRow(db, nfd, root, QStringLiteral("Cafe\u0301 in NFD"));
        QCOMPARE(catalogue::fileNameCount(db, nfc), 1);
        QCOMPARE(catalogue::readRows(db, catalogue::searchStatement(QStringLiteral("caf\u00e9"))).size(), 1);

        QCOMPARE(pressedOn(root + '/' + nfd, &frmDelete::cmdContinue_Click), nfd + " has been removed from the database.  ");
        QCOMPARE(catalogueRows(), (QList<CatalogueRow>{{nfc, root, QStringLiteral("Caf\u00e9 in NFC")}}));
    }
};

PIXDOCK_REGISTER_TEST(TestOddNames)
#include "tst_OddNames.moc"
