// What each catalogue window does when the catalogue fails under it, on either engine: a lock
// held by another program is waited for only up to the timeout, with the interface running,
// and then named; a catalogue gone while a window is open is named by the action that met it,
// and the next action after it is back simply works.
#include "CatalogueMessages.h"
#include "CatalogueTestSupport.h"
#include "ServerConnection.h"

using namespace pixdock;

namespace {

// Each user action (the list loaded, a search, a save, a removal answered Yes), what its message
// says about the catalogue ("%1" the error's number, "%2" the catalogue's own words), and the rows
// it leaves when it works (after the catalogue's return).
void everyAction()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("rowsAfter");
    const QString both = QStringLiteral("beach.jpg|/p|beach sunset.jpg|/photos|sunset");
    QTest::newRow("list") << "list" << "The catalogue list could not be loaded.\r\n%2" << both;
    QTest::newRow("search") << "search" << "The catalogue could not be searched.\r\n%2" << both;
    QTest::newRow("add") << "add" << "Error No %1\r\n%2 has occured." << both + " sunset.jpg|/photos|None";
    QTest::newRow("remove") << "remove" << "The picture could not be removed from the catalogue.\r\n%2" << "beach.jpg|/p|beach";
}

void run(const QString &which)
{
    if (which == QLatin1String("list")) {
        sharedWindow<frmImgList>();
    } else if (which == QLatin1String("search")) {
        test::searchFor(QStringLiteral("beach"));
    } else if (which == QLatin1String("add")) {
        test::shownWindow<frmAdd>()->cmdAdd_Click();
    } else {
        MessageBox::queueAnswer(QMessageBox::Yes);
        test::shownWindow<frmDelete>()->cmdContinue_Click();
    }
}

} // namespace

class TestCatalogueFaults : public test::CatalogueWindowTest
{
    Q_OBJECT
public:
    TestCatalogueFaults() { m_startRows = {{"beach.jpg", "/p", "beach"}, {"sunset.jpg", "/photos", "sunset"}}; }

private slots:
    void aHeldLockIsNamedWithinTheTimeoutWhileTheInterfaceRuns_data() { everyAction(); }
    void aHeldLockIsNamedWithinTheTimeoutWhileTheInterfaceRuns()
    {
        QFETCH(QString, which);
        QFETCH(QString, message);
        setFrameStatusText(QStringLiteral("/photos/sunset.jpg"));
        {
            // The stall guard fails the run if the interface stands still while it waits.
            const auto lock = holdLock();
            run(which);
            QTRY_VERIFY(MessageBox::shownTexts().size() == (which == QLatin1String("remove") ? 2 : 1));
        }
        QCOMPARE(MessageBox::shownTexts().last(),
                 message.replace("%1", QString::number(onServer() ? err::DatabaseError : 5))
                     .replace("%2", failureText(catalogue::message::Locked, catalogue::server::Locked)));
        QCOMPARE(MessageBox::shown().last().buttons, QMessageBox::Ok);
        QCOMPARE(catalogueRows(), (QStringList{"beach.jpg|/p|beach", "sunset.jpg|/photos|sunset"}));
        // No wait cursor is left behind, and the window's line does not claim a success.
        QVERIFY(!QGuiApplication::overrideCursor());
        for (QWidget *window : WindowList::instance().windows())
            if (QLabel *line = test::messageOf(window))
                QVERIFY2(!line->text().contains(QLatin1String("has been")), qPrintable(line->text()));
    }

    void aCatalogueGoneIsNamedAndTheNextActionAfterItsReturnWorks_data() { everyAction(); }
    void aCatalogueGoneIsNamedAndTheNextActionAfterItsReturnWorks()
    {
        QFETCH(QString, which);
        QFETCH(QString, message);
        QFETCH(QString, rowsAfter);
        setFrameStatusText(QStringLiteral("/photos/sunset.jpg"));
        // The windows' connections are open and have been used before the catalogue goes.
        frmSearch *search = test::searchFor(QString());
        QCOMPARE(test::gridNames(search->grid()).size(), 2);
        MessageBox::queueAnswer(QMessageBox::No);
        test::shownWindow<frmAdd>()->cmdAdd_Click();
        MessageBox::clearRecord();

        takeCatalogueAway();
        run(which);
        QTRY_VERIFY(!MessageBox::shownTexts().isEmpty());
        QCOMPARE(MessageBox::shownTexts().last(),
                 message.replace("%1", QString::number(err::DatabaseError))
                     .replace("%2", failureText(catalogue::message::Moved, catalogue::server::Unreachable)));
        takeCatalogueAway(false);
        MessageBox::clearRecord();

        if (which == QLatin1String("list")) {
            sharedWindow<frmImgList>()->unload();
            QCOMPARE(test::gridNames(sharedWindow<frmImgList>()->grid()), (QStringList{"beach.jpg", "sunset.jpg"}));
        } else {
            if (which == QLatin1String("add"))
                MessageBox::queueAnswer(QMessageBox::Yes);
            run(which);
            QVERIFY2(MessageBox::shownTexts().size() <= 1, qPrintable(MessageBox::shownTexts().join('\n')));
        }
        QCOMPARE(catalogueRows().join(' '), rowsAfter);
        if (which == QLatin1String("search"))
            QCOMPARE(test::gridNames(search->grid()), QStringList{"beach.jpg"});
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueFaults)
#include "tst_CatalogueFaults.moc"
