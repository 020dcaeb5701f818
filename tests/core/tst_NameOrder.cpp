// The name order as properties over random names of awkward letters: a total order (equal only
// when identical, antisymmetric, transitive) and the fast sort agreeing with the comparator, in
// five locales. The order a user sees in each language is checked where names are listed: the
// folder listing and the catalogue's list window.
#include "NameOrder.h"
#include "TestRegistry.h"
#include "TestState.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace pixdock;

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

// Names of one to six awkward pieces: letters in both cases, accents composed and not, digits
// with leading zeros, blanks, punctuation, ligatures, emoji and invisible characters.
QStringList randomNames(quint32 seed, int count)
{
    const QStringList pieces = {"a", "A", "b", "B", "e", "E", "z", "Z", "é", "É", "e\u0301", "ä", "Ä", "ö", "å", "ß", "ẞ", "ss",
        "ı", "İ", "i", "σ", "Σ", "ς", "ε", "λ", "ж", "Ж", "0", "00", "1", "01", "9", "10", "99", "100", " ", "_", "-", ".", "(",
        "\u00A0", "😀", "ǅ", "ﬁ", "\u200B", "\t", "7"};
    QRandomGenerator random(seed);
    QStringList names(count);
    for (QString &name : names)
        for (int part = 0, parts = 1 + int(random.bounded(6)); part < parts; ++part)
            name += pieces.at(random.bounded(int(pieces.size())));
    return names;
}
} // namespace

class TestNameOrder : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { test::switchLocale(QLocale::c()); }

    void isATotalOrderInEveryLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("C") << QLocale::c() << 1u;
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << 2u;
        QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden) << 3u;
        QTest::newRow("Turkish") << QLocale(QLocale::Turkish, QLocale::Turkey) << 4u;
        QTest::newRow("Greek") << QLocale(QLocale::Greek, QLocale::Greece) << 5u;
    }
    void isATotalOrderInEveryLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(quint32, seed);
        test::switchLocale(locale);
        const QStringList given = randomNames(seed, 300) << QString() << "a" << "A";
        QStringList list = given, keyed = given;
        for (const QString &a : given)
            for (const QString &b : given)
                QVERIFY2(sign(names::compare(a, b)) == -sign(names::compare(b, a)) && (names::compare(a, b) == 0) == (a == b),
                         qPrintable(a + " / " + b));
        // Sorted by the comparator, every later name compares greater: transitivity over the list.
        std::sort(list.begin(), list.end(), names::lessThan);
        for (qsizetype i = 0; i < list.size(); ++i)
            for (qsizetype j = i + 1; j < list.size(); ++j)
                QVERIFY2(list[i] == list[j] || names::compare(list[i], list[j]) < 0, qPrintable(list[i] + " / " + list[j]));
        // The sort through collation keys gives the same order.
        names::sort(keyed);
        QCOMPARE(keyed, list);
    }
};

PIXDOCK_REGISTER_TEST(TestNameOrder)
#include "tst_NameOrder.moc"
