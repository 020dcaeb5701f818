// Key codes reported by the control panel.
#include "KeyCodes.h"
#include "TestRegistry.h"

#include <QTest>

using namespace pixdock;

class TestKeyCodes : public QObject
{
    Q_OBJECT
private slots:
    void keysReportTheirVirtualKeyNumber_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("code");
        QTest::newRow("A") << int(Qt::Key_A) << 65;
        QTest::newRow("Z") << int(Qt::Key_Z) << 90;
        QTest::newRow("0") << int(Qt::Key_0) << 48;
        QTest::newRow("9") << int(Qt::Key_9) << 57;
        QTest::newRow("F1") << int(Qt::Key_F1) << 112;
        QTest::newRow("F12") << int(Qt::Key_F12) << 123;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 13;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 13;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 27;
        QTest::newRow("Space") << int(Qt::Key_Space) << 32;
        QTest::newRow("Left") << int(Qt::Key_Left) << 37;
        QTest::newRow("Down") << int(Qt::Key_Down) << 40;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 46;
        QTest::newRow("Shift") << int(Qt::Key_Shift) << 16;
        QTest::newRow("Comma") << int(Qt::Key_Comma) << 188;
        QTest::newRow("a key without a number keeps Qt's") << int(Qt::Key_VolumeUp) << int(Qt::Key_VolumeUp);
    }
    void keysReportTheirVirtualKeyNumber()
    {
        QFETCH(int, key);
        QFETCH(int, code);
        QCOMPARE(keys::virtualKeyCode(key), code);
    }
};

PIXDOCK_REGISTER_TEST(TestKeyCodes)
#include "tst_KeyCodes.moc"
