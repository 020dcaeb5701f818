// The browser window's busy rule, without a web view: when the window says "Working...".
#include "BusyState.h"
#include "TestRegistry.h"

#include <QTest>

using namespace pixdock::browser;

class TestBrowserArithmetic : public QObject
{
    Q_OBJECT
private slots:
    void busyRule_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<qint64>("askedAt");
        QTest::addColumn<bool>("busy");
        // r = navigation requested at 0, s = load started, f = load finished,
        // u = address changed (a same-document navigation), x = stopped
        QTest::newRow("requested, nothing reported yet") << "r" << 5LL << true;
        QTest::newRow("requested, view never reports") << "r" << BusyState::RequestGraceMs << false;
        QTest::newRow("started, slow server") << "rs" << 60000LL << true;
        QTest::newRow("finished") << "rsf" << 5LL << false;
        QTest::newRow("same-document navigation") << "ru" << 5LL << false;
        QTest::newRow("address committed during a load") << "rsu" << 5LL << true;
        QTest::newRow("stopped") << "rsx" << 5LL << false;
    }
    void busyRule()
    {
        QFETCH(QString, events);
        QFETCH(qint64, askedAt);
        QFETCH(bool, busy);
        BusyState state;
        for (QChar e : events) {
            switch (e.toLatin1()) {
            case 'r': state.navigationRequested(0); break;
            case 's': state.loadStarted(); break;
            case 'f': state.loadFinished(); break;
            case 'u': state.addressChanged(); break;
            case 'x': state.stopped(); break;
            }
        }
        QCOMPARE(state.isBusy(askedAt), busy);
    }
};

PIXDOCK_REGISTER_TEST(TestBrowserArithmetic)
#include "tst_BrowserArithmetic.moc"
