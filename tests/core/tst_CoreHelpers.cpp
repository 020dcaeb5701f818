// Twips to pixels at 15 a pixel, to the nearest whole pixel, negative ones too. (The failure
// policies, the file dialog's filter and its cancel are pinned by the folder-stepping and
// File > Open tests through the real commands.)
#include "TestRegistry.h"
#include "Twips.h"

#include <QTest>

using namespace pixdock;

class TestCoreHelpers : public QObject
{
    Q_OBJECT
private slots:
    void twipsConvert_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("panel width") << 1295 << 86;
        QTest::newRow("under half") << 7 << 0;
        QTest::newRow("over half") << 8 << 1;
        QTest::newRow("negative") << -15 << -1;
        QTest::newRow("negative, under half") << -22 << -1;
    }
    void twipsConvert()
    {
        QFETCH(int, twips);
        QTEST(twips::toPixels(twips), "pixels");
    }
};

PIXDOCK_REGISTER_TEST(TestCoreHelpers)
#include "tst_CoreHelpers.moc"
