// The catalogue windows while another program works on db.fil: a lock held while the user
// scrolls a large list, reading or writing while the user saves, and the file replaced by a
// rename or deleted while windows are open. Each case checks what the window shows and says and
// what the file at the path holds; the stall guard, that the interface never stood still.
#include "CatalogueGrid.h"
#include "CatalogueGridModel.h"
#include "CatalogueScaleSupport.h"
#include "CatalogueService.h"
#include "CatalogueStepping.h"
#include "CatalogueStore.h"
#include "CatalogueWindowHost.h"
#include "Frame.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowList.h"
#include "frmAdd.h"
#include "frmDelete.h"
#include "frmImgList.h"
#include "frmSearch.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>

#include <unistd.h>

using namespace pixdock;
using namespace pixdock::catalogue;

namespace {

constexpr int ManyRows = 50000;

QString labelText(QWidget *window) { return window->findChild<QLabel *>(QStringLiteral("lblMessage"))->text(); }

} // namespace

class TestCatalogueOtherPrograms : public test::CatalogueWindowTest
{
    Q_OBJECT
private slots:

    // The list's rows are copied once: under another program's lock the user pages through
    // fifty thousand of them without a stall or a blank row, and steps to the last one.
    void aLargeListScrollsUnderAHeldLockAndStepsToItsLastRow()
    {
        const QString path = m_host->folder().cataloguePath();
        test::fillWithManyRows(path, ManyRows);
        const QList<CatalogueRow> reference = test::inNameOrder(test::tableRows(path));
        QVERIFY(m_host->activate());
        frmImgList *list = test::shownWindow<frmImgList>();
        CatalogueGrid *grid = list->grid();
        // The count is there when the window is; the rows follow.
        QCOMPARE(grid->rows(), ManyRows + 1);
        QVERIFY(waitForGridRow(grid, ManyRows));
        const test::CatalogueLock lock(path);

        grid->setFocus();
        QCOMPARE(QApplication::focusWidget(), grid);
        QStringList blank;
        int pages = 0;
        while (grid->currentIndex().row() < ManyRows - 1 && pages < 5000) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
            QCoreApplication::processEvents();
            ++pages;
            const QModelIndex at = grid->currentIndex();
            if (at.data().toString().isEmpty() || at.data().toString() == LoadingText)
                blank << QString::number(at.row());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(grid->currentIndex().row(), 0);
        QVERIFY2(blank.isEmpty(), qPrintable(blank.join(' ')));
        QVERIFY(pages > 100);
        QCOMPARE(grid->textOf(1, column::FileName), reference.first().fileName);

        gListRow = ManyRows - 1;
        stepCatalogueForward();
        const CatalogueRow &last = reference.last();
        QCOMPARE(m_host->openedPictures, QStringList{last.location + QLatin1Char('/') + last.fileName});
        stepCatalogueForward();
        QCOMPARE(MessageBox::shownTexts(), QStringList{"This is the last image in the list."});
        QCOMPARE(grid->row(), ManyRows);
    }

    void aSaveMeetingAReaderSaysBusyAndAWriterLocked_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("said");
        QTest::newRow("another program reading")
            << "BEGIN; SELECT count(*) FROM Info"
            << "The catalogue is busy: another program is reading it. Try again in a moment.";
        QTest::newRow("another program writing") << "BEGIN IMMEDIATE" << "The catalogue is locked by another program.";
    }
    void aSaveMeetingAReaderSaysBusyAndAWriterLocked()
    {
        QFETCH(QString, other);
        QFETCH(QString, said);
        m_host->addRows({{"a.jpg", "/p", "one"}});
        CatalogueService::instance().waitForUpkeep();
        test::ForeignConnection program(m_host->folder().cataloguePath(), QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        QSqlQuery held(program.database());
        for (const QString &sql : other.split(QStringLiteral("; ")))
            QVERIFY(held.exec(sql));
        setFrameStatusText(QStringLiteral("/photos/new.jpg"));
        frmAdd *add = test::shownWindow<frmAdd>();
        add->cmdAdd_Click();
        QCOMPARE(MessageBox::shownTexts(), QStringList{QStringLiteral("Error No 5\r\n") + said + " has occured."});
        held.finish();
        QVERIFY(program.exec(QStringLiteral("ROLLBACK")));
        QCOMPARE(m_host->catalogueRows(), QStringList{"a.jpg|/p|one"});
    }

    void writesGoToTheFileAtThePath_data()
    {
        QTest::addColumn<QString>("done");   // to db.fil while the windows are open
        QTest::addColumn<QString>("action"); // add or remove
        QTest::addColumn<QString>("said");   // the window's line, or a piece of its message box
        QTest::newRow("replaced, add") << "replaced" << "add" << "new.jpg has been added to the database.";
        QTest::newRow("replaced, remove") << "replaced" << "remove" << "a.jpg has been removed from the database.  ";
        QTest::newRow("deleted, add") << "deleted" << "add"
                                      << "Error No 3146\r\nThe catalogue file was moved or deleted while Pixdock was "
                                         "running. has occured.";
        QTest::newRow("deleted, remove") << "deleted" << "remove"
                                         << "The picture could not be removed from the catalogue.\r\nThe catalogue "
                                            "file was moved or deleted while Pixdock was running.";
        QTest::newRow("not a catalogue now, add") << "garbage" << "add" << "The catalogue file is not a database.";
        QTest::newRow("replaced, list") << "replaced" << "list" << "";
        QTest::newRow("deleted, list") << "deleted" << "list"
                                       << "The catalogue list could not be loaded.\r\nThe catalogue file was "
                                          "moved or deleted while Pixdock was running.";
    }
    void writesGoToTheFileAtThePath()
    {
        QFETCH(QString, done);
        QFETCH(QString, action);
        QFETCH(QString, said);
        const QString path = m_host->folder().cataloguePath();
        m_host->addRows({{"a.jpg", "/photos", "one"}, {"b.jpg", "/photos", "two"}});
        // The windows are open and have used the catalogue once.
        setFrameStatusText(action == QLatin1String("add") ? QStringLiteral("/photos/new.jpg")
                                                          : QStringLiteral("/photos/a.jpg"));
        frmAdd *add = test::shownWindow<frmAdd>();
        frmDelete *remove = test::shownWindow<frmDelete>();
        QCOMPARE(CatalogueService::instance().fileNameCount(QStringLiteral("a.jpg")), 1);
        CatalogueService::instance().waitForUpkeep();
        const QString old = m_host->folder().filePath(QStringLiteral("old.fil"));
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(old).constData()), 0);
        const QByteArray oldBytes = test::fileBytes(old);

        const QString copy = m_host->folder().filePath(QStringLiteral("db.fil.part"));
        if (done == QLatin1String("replaced")) {
            // As a backup or sync tool restores: a copy, changed, renamed over the file.
            QVERIFY(QFile::copy(path, copy));
            test::ForeignConnection(copy).exec(QStringLiteral("INSERT INTO Info VALUES ('restored.jpg', '/r', 'x')"));
            QCOMPARE(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(path).constData()), 0);
        } else if (done == QLatin1String("deleted")) {
            QVERIFY(QFile::remove(path));
        } else {
            QVERIFY(QFile::remove(path));
            QFile garbage(path);
            QVERIFY(garbage.open(QIODevice::WriteOnly));
            garbage.write(QByteArray(4096, 'x'));
        }
        const QByteArray atPath = test::fileBytes(path);

        QString shown;
        if (action == QLatin1String("add")) {
            add->cmdAdd_Click();
            shown = labelText(add);
        } else if (action == QLatin1String("remove")) {
            MessageBox::queueAnswer(QMessageBox::Yes);
            remove->cmdContinue_Click();
            shown = labelText(remove);
        } else {
            // A list opened now shows the file at the path.
            const QStringList listed = test::gridNames(test::shownWindow<frmImgList>()->grid());
            if (done == QLatin1String("replaced"))
                QCOMPARE(listed, (QStringList{"a.jpg", "b.jpg", "restored.jpg"}));
        }
        shown += MessageBox::shownTexts().join(' ');
        QVERIFY2(shown.contains(said), qPrintable(shown));
        // The file Pixdock had open is never the one changed in place of the file at the path.
        QCOMPARE(test::fileBytes(old), oldBytes);
        if (done != QLatin1String("replaced")) {
            QCOMPARE(test::fileBytes(path), atPath);
            return;
        }
        QStringList rows;
        for (const CatalogueRow &row : test::tableRows(path))
            rows << row.fileName;
        const QStringList expected = action == QLatin1String("add")      ? QStringList{"a.jpg", "b.jpg", "restored.jpg", "new.jpg"}
                                     : action == QLatin1String("remove") ? QStringList{"b.jpg", "restored.jpg"}
                                                                         : QStringList{"a.jpg", "b.jpg", "restored.jpg"};
        QCOMPARE(rows, expected);
    }

};

PIXDOCK_REGISTER_TEST(TestCatalogueOtherPrograms)
#include "tst_CatalogueOtherPrograms.moc"
