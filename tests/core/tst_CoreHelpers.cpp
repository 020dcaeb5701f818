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

    // Skipping runs every step and counts the failures, of any kind; ending at the first
    // failure stops there and says so; a plain exception reaches the handler as number 0.
    void failurePolicies()
    {
        QStringList ran;
        QCOMPARE(skipFailingSteps({[&] { ran << "1"; }, [&] { throw RunTimeError(481, "Invalid picture"); },
                                   [&] { ran << "3"; }, [&] { throw std::runtime_error("other"); }}),
                 2);
        QVERIFY(!endAtFirstFailure([&] { throw RunTimeError(76, "Path not found"); ran << "not reached"; }));
        QVERIFY(endAtFirstFailure([&] { ran << "4"; }));
        QCOMPARE(ran, QStringList({"1", "3", "4"}));
        int seen = -1;
        handleFailure([] { throw std::runtime_error("plain"); }, [&](const RunTimeError &e) { seen = e.number(); });
        QCOMPARE(seen, 0);
    }

    // Twips to pixels at 15 a pixel, to the nearest; and rounding an exact half to even.
    void twipsConvert_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("panel width") << 1295 << 86;
        QTest::newRow("under half") << 7 << 0;
        QTest::newRow("over half") << 8 << 1;
        QTest::newRow("negative") << -15 << -1;
    }
    void twipsConvert()
    {
        QFETCH(int, twips);
        QTEST(twips::toPixels(twips), "pixels");
        QCOMPARE(twips::roundHalfEven(2.5), 2LL);
        QCOMPARE(twips::roundHalfEven(-2.5), -2LL);
        QCOMPARE(twips::roundHalfEven(1.5), 2LL);
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
