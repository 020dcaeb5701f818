// Text in the catalogue: equality, order and LIKE without regard to case for all of Unicode.
#include "CatalogueScaleSupport.h"
#include "CatalogueStore.h"
#include "CatalogueUnicode.h"
#include "TestRegistry.h"
#include "TestState.h"

#include <QSqlQuery>
#include <QTest>

#include <memory>

using namespace pixdock;
using namespace pixdock::catalogue;

namespace {
QVariant evaluate(const QString &expression, const QVariantList &values)
{
    QSqlQuery q = runStatement(sharedConnection(), {QStringLiteral("SELECT ") + expression, values});
    return q.next() ? q.value(0) : QVariant();
}

} // namespace

class TestCatalogueText : public test::CatalogueFileTest
{
    Q_OBJECT
private slots:
    void init()
    {
        CatalogueFileTest::init();
        OpenConnection();
    }

    void textsEqualWithoutRegardToCase_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("equal");
        QTest::newRow("ASCII") << "sunset.jpg" << "SUNSET.JPG" << true;
        QTest::newRow("accents") << "Été.jpg" << "ÉTÉ.JPG" << true;
        QTest::newRow("accent differs") << "ete.jpg" << "été.jpg" << false;
        QTest::newRow("capital sharp s") << "STRAẞE" << "straße" << true;
        QTest::newRow("sharp s is not ss") << "straße" << "STRASSE" << false;
        QTest::newRow("Greek with final sigma") << "ΣΊΣΥΦΟΣ" << "σίσυφος" << true;
        QTest::newRow("Cyrillic") << "ЗИМА.png" << "зима.PNG" << true;
        QTest::newRow("Deseret (outside the BMP)") << "𐐀.jpg" << "𐐨.jpg" << true;
        QTest::newRow("different") << "a.jpg" << "b.jpg" << false;
        QTest::newRow("prefix") << "a.jpg" << "a.jpgx" << false;
    }
    void textsEqualWithoutRegardToCase()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, equal);
        QCOMPARE(evaluate(QStringLiteral("? = ? COLLATE UNOCASE"), {a, b}).toInt() == 1, equal);
        QCOMPARE(compareIgnoringCase(a, b) == 0, equal);
        QCOMPARE(compareIgnoringCase(a, b), -compareIgnoringCase(b, a));
        // A LIKE without wildcards agrees with the collation.
        QCOMPARE(evaluate(QStringLiteral("? LIKE ?"), {a, b}).toInt() == 1, equal);
    }

    // Rows with an escape character use ESCAPE '\\', which makes the wildcards literal.
    void likeMatchesWithoutRegardToCase_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("any run") << "Summer at the BEACH" << "%beach%" << true;
        QTest::newRow("accented run") << "L'ÉTÉ indien" << "%été%" << true;
        QTest::newRow("Greek") << "ΟΔΥΣΣΕΑΣ στην Ιθάκη" << "%οδυσσεας%" << true;
        QTest::newRow("one letter") << "été" << "_T_" << true;
        QTest::newRow("one code point outside the BMP") << "a😀b" << "a_b" << true;
        QTest::newRow("not two units") << "a😀b" << "a__b" << false;
        QTest::newRow("run must end right") << "beach house" << "%beach" << false;
        QTest::newRow("backtracking") << "abcabcabd" << "%abd" << true;
        QTest::newRow("empty pattern") << "x" << "" << false;
        QTest::newRow("percent alone") << "" << "%" << true;
        QTest::newRow("escaped percent") << "100% sure" << "%100\\%%" << true;
        QTest::newRow("escaped percent needs one") << "100 sure" << "%100\\%%" << false;
        QTest::newRow("escaped underscore") << "a_b" << "a\\_b" << true;
        QTest::newRow("escaped underscore is not any") << "axb" << "a\\_b" << false;
        QTest::newRow("escaped escape") << "a\\b" << "a\\\\b" << true;
        QTest::newRow("trailing escape matches nothing") << "a\\" << "a\\" << false;
    }
    void likeMatchesWithoutRegardToCase()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        if (pattern.contains(QLatin1Char('\\'))) {
            QCOMPARE(evaluate(QStringLiteral("? LIKE ? ESCAPE '\\'"), {text, pattern}).toInt() == 1, matches);
            return;
        }
        QCOMPARE(evaluate(QStringLiteral("? LIKE ?"), {text, pattern}).toInt() == 1, matches);
        QCOMPARE(likeMatches(pattern, text), matches);
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueText)
#include "tst_CatalogueText.moc"
