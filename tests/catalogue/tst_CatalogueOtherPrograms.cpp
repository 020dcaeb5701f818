// The catalogue windows while another program works on db.fil: a lock held while the user
// pages through a large list, a bulk change just before a search, reading or writing while the
// user saves, and the file replaced by a rename or deleted while windows are open. Each case
// checks what the window shows and says and what the file at the path holds; the stall guard
// fails any of them in which the interface thread stood still.
#include "CatalogueTestSupport.h"

#include <unistd.h>

using namespace pixdock;
using namespace pixdock::catalogue;

constexpr int ManyRows = 50000;
// An action (add, remove or list) after db.fil was replaced, or garbage put there; a piece of the
// window's line or message box then; the names in the file at the path afterwards.
struct Write { QString action, said, rows; };

class TestCatalogueOtherPrograms : public test::CatalogueWindowTest
{
    Q_OBJECT
private slots:
    // The list's rows are copied once: under another program's lock the user pages through
    // fifty thousand of them without a blank row, and steps to the last one and past it. Then
    // another program rewrites every description; the search right after finds the new words at
    // once (the index catches up off the interface thread or the search scans).
    void aLargeListPagesUnderAHeldLockAndASearchAfterABulkChangeFindsTheNewWords()
    {
        test::fillWithManyRows(m_folder->cataloguePath(), ManyRows);
        const QList<CatalogueRow> reference = test::inNameOrder(test::tableRows(m_folder->cataloguePath()));
        CatalogueGrid *grid = test::shownWindow<frmImgList>()->grid();
        QCOMPARE(grid->rows(), ManyRows + 1); // the count comes with the window, the rows follow
        QVERIFY(waitForGridRow(grid, ManyRows));
        auto lock = holdLock();
        grid->setFocus();
        QStringList blank;
        for (int pages = 0; grid->currentIndex().row() < ManyRows - 1 && pages < 5000; ++pages) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
            QCoreApplication::processEvents(); // the stall guard times each page on its own
            const QString shown = grid->currentIndex().data().toString();
            if (shown.isEmpty() || shown == LoadingText)
                blank << QString::number(grid->currentIndex().row());
        }
        QVERIFY2(blank.isEmpty(), qPrintable(blank.join(' ')));
        QCOMPARE(grid->currentIndex().row(), ManyRows - 1);
        QCOMPARE(grid->textOf(1, column::FileName), reference.first().fileName);
        gListRow = ManyRows - 1;
        stepCatalogueForward();
        QCOMPARE(m_opened, QStringList{reference.last().location + '/' + reference.last().fileName});
        stepCatalogueForward();
        QCOMPARE(MessageBox::shownTexts(), QStringList{"This is the last image in the list."});

        lock.reset();
        CatalogueService::instance().waitForUpkeep();
        QVERIFY(test::ForeignConnection(m_folder->cataloguePath())
                    .exec(QStringLiteral("UPDATE Info SET Description = replace(Description, 'field', 'meadow')")));
        frmSearch *search = test::shownWindow<frmSearch>();
        QTRY_COMPARE(QApplication::focusWidget(), test::childOf<QLineEdit>(search, "txtKeywords"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("HARBOUR,4999 of meadow"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        const QList<CatalogueRow> plain =
            readRows(sharedConnection(), searchStatement(QStringLiteral("HARBOUR,4999 of meadow")));
        QCOMPARE(plain.size(), ManyRows / 13 + 1 + 4); // every harbour row, and meadow after 4999, 14999...
        QCOMPARE(test::allRows(search->grid()->gridRows()), plain);
    }

    // A save meeting another program's reader says the catalogue is busy, one meeting a writer
    // that it is locked; the catalogue keeps its rows.
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
        addRows({{"a.jpg", "/p", "one"}});
        CatalogueService::instance().waitForUpkeep();
        test::ForeignConnection program(m_folder->cataloguePath(), QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        QVERIFY(program.hold(other));
        setFrameStatusText(QStringLiteral("/photos/new.jpg"));
        test::shownWindow<frmAdd>()->cmdAdd_Click();
        QCOMPARE(MessageBox::shownTexts(), QStringList{"Error No 5\r\n" + said + " has occured."});
        program.release();
        QCOMPARE(catalogueRows(), QStringList{"a.jpg|/p|one"});
    }

    // The file Pixdock had open is never the one changed in place of the file at the path: a
    // copy renamed over it (as a backup or sync tool restores) is the one written and listed, and
    // garbage put in its place is refused and left as it is. (A file gone is the faults' test's.)
    void writesGoToTheFileAtThePath_data()
    {
        QTest::addColumn<Write>("write");
        QTest::newRow("add") << Write{"add", "new.jpg has been added to the database.", "a.jpg b.jpg restored.jpg new.jpg"};
        QTest::newRow("remove") << Write{"remove", "a.jpg has been removed from the database.  ", "b.jpg restored.jpg"};
        QTest::newRow("list") << Write{"list", "", "a.jpg b.jpg restored.jpg"};
        QTest::newRow("garbage, add") << Write{"garbage", "The catalogue file is not a database.", ""};
    }
    void writesGoToTheFileAtThePath()
    {
        QFETCH(Write, write);
        const auto &[action, said, rows] = write;
        const QByteArray path = QFile::encodeName(m_folder->cataloguePath());
        const QByteArray old = QFile::encodeName(m_folder->filePath(QStringLiteral("old.fil")));
        addRows({{"a.jpg", "/photos", "one"}, {"b.jpg", "/photos", "two"}});
        // The windows are open and have used the catalogue once.
        setFrameStatusText(action == QLatin1String("remove") ? QStringLiteral("/photos/a.jpg") : QStringLiteral("/photos/new.jpg"));
        frmAdd *add = test::shownWindow<frmAdd>();
        frmDelete *remove = test::shownWindow<frmDelete>();
        QCOMPARE(CatalogueService::instance().fileNameCount(QStringLiteral("a.jpg")), 1);
        CatalogueService::instance().waitForUpkeep();
        QCOMPARE(::link(path.constData(), old.constData()), 0);
        const QByteArray oldBytes = test::fileBytes(old);
        if (action == QLatin1String("garbage")) {
            QVERIFY(QFile::remove(path));
            test::writeBytes(m_folder->path(), QStringLiteral("db.fil"), QByteArray(4096, 'x'));
        } else {
            const QByteArray copy = path + ".part";
            QVERIFY(QFile::copy(path, copy));
            test::ForeignConnection(copy).exec(QStringLiteral("INSERT INTO Info VALUES ('restored.jpg', '/r', 'x')"));
            QCOMPARE(::rename(copy.constData(), path.constData()), 0);
        }
        const QByteArray atPath = test::fileBytes(path);
        QString shown;
        if (action == QLatin1String("list")) {
            QCOMPARE(test::gridNames(test::shownWindow<frmImgList>()->grid()).join(' '), rows);
        } else if (action == QLatin1String("remove")) {
            MessageBox::queueAnswer(QMessageBox::Yes);
            remove->cmdContinue_Click();
            shown = test::messageOf(remove)->text();
        } else {
            add->cmdAdd_Click();
            shown = test::messageOf(add)->text();
        }
        shown += MessageBox::shownTexts().join(' ');
        QVERIFY2(shown.contains(said), qPrintable(shown));
        QCOMPARE(test::fileBytes(old), oldBytes);
        if (action == QLatin1String("garbage"))
            QCOMPARE(test::fileBytes(path), atPath);
        else
            QCOMPARE(test::namesOf(test::tableRows(path)).join(' '), rows);
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueOtherPrograms)
#include "tst_CatalogueOtherPrograms.moc"
