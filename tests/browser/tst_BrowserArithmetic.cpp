// The browser window's resize arithmetic and its busy rule, without a web view.
#include "BrowserLayout.h"
#include "BusyState.h"
#include "TestRegistry.h"

#include <QTest>

using namespace pixdock::browser;

class TestBrowserArithmetic : public QObject
{
    Q_OBJECT
private slots:
    void resizeLayout_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("addressWidth"); // -1: left as it was
        QTest::addColumn<int>("browserHeight");
        QTest::newRow("as laid out") << 6540 << 5070 << 6440 << 3755;
        QTest::newRow("just fits") << 100 << 1315 << 0 << 0;
        QTest::newRow("too narrow and too low") << 90 << 1300 << -1 << -1;
        QTest::newRow("too low only") << 3000 << 600 << 2900 << -1;
    }
    void resizeLayout()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, addressWidth);
        QFETCH(int, browserHeight);
        const BrowserSizes sizes = browserSizes(width, height);
        QCOMPARE(sizes.addressWidth.value_or(-1), addressWidth);
        QCOMPARE(sizes.browserWidth.value_or(-1), addressWidth);
        QCOMPARE(sizes.browserHeight.value_or(-1), browserHeight);
        QCOMPARE(addressTop(), 330);
    }

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
