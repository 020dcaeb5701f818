// Failure policies, twips, and the file dialog's filter and cancel.
#include "CommonDialog.h"
#include "RunTimeError.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "Twips.h"

#include <QTest>

using namespace pixdock;

class TestCoreHelpers : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { test::resetProgramState(); }

    void skipFailingStepsRunsEveryStep()
    {
        QStringList ran;
        const int failed = skipFailingSteps({
            [&] { ran << "1"; },
            [&] { throw RunTimeError(481, "Invalid picture"); },
            [&] { ran << "3"; },
            [&] { throw std::runtime_error("other"); },
        });
        QCOMPARE(failed, 2);
        QCOMPARE(ran, QStringList({"1", "3"}));
    }

    void endAtFirstFailureStopsAndReports()
    {
        QStringList ran;
        QVERIFY(!endAtFirstFailure([&] {
            ran << "1";
            throw RunTimeError(76, "Path not found");
        }));
        QVERIFY(endAtFirstFailure([&] { ran << "2"; }));
        QCOMPARE(ran, QStringList({"1", "2"}));
    }

    void handleFailureHandsOverTheNumber()
    {
        int seen = -1;
        handleFailure([] { throw RunTimeError(58, "File already exists"); },
                      [&](const RunTimeError &e) { seen = e.number(); });
        QCOMPARE(seen, 58);
        handleFailure([] { throw std::runtime_error("plain"); },
                      [&](const RunTimeError &e) { seen = e.number(); });
        QCOMPARE(seen, 0);
    }

    void twipsConvert_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("panel width") << 1295 << 86;
        QTest::newRow("exact") << 1215 << 81;
        QTest::newRow("half rounds up") << 7 << 0;
        QTest::newRow("over half") << 8 << 1;
        QTest::newRow("negative") << -15 << -1;
    }
    void twipsConvert()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(twips::toPixels(twips), pixels);
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<long long>("rounded");
        QTest::newRow("3298.9") << 3298.9 << 3299LL;
        QTest::newRow("0.5") << 0.5 << 0LL;
        QTest::newRow("1.5") << 1.5 << 2LL;
        QTest::newRow("2.5") << 2.5 << 2LL;
        QTest::newRow("-2.5") << -2.5 << -2LL;
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(long long, rounded);
        QCOMPARE(twips::roundHalfEven(value), rounded);
    }

    void dialogFilterBecomesQtFilters()
    {
        QCOMPARE(CommonDialog::qtFilters("Graphics Files|*.bmp;*.ico;*.gif;*.jpg;|All Files (*.*)|*.*"),
                 QStringList({"Graphics Files (*.bmp *.ico *.gif *.jpg)", "All Files (*.*)"}));
    }

    void cancelIsAnErrorOnlyWhenAsked()
    {
        CommonDialog dialog;
        dialog.FileName = "old";
        CommonDialog::presetOpenCancel();
        dialog.ShowOpen();
        QCOMPARE(dialog.FileName, QString());
        dialog.CancelError = true;
        CommonDialog::presetOpenCancel();
        try {
            dialog.ShowOpen();
            QFAIL("cancel raised nothing");
        } catch (const RunTimeError &e) {
            QCOMPARE(e.number(), err::DialogCancelled);
        }
    }

};

PIXDOCK_REGISTER_TEST(TestCoreHelpers)
#include "tst_CoreHelpers.moc"
