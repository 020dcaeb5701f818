// The name order as properties over random names of awkward letters: a total order (equal only
// when identical, antisymmetric, transitive), digits by value, case never deciding between
// names that differ otherwise, the fast sort agreeing with the comparator, and all of it
// following a change of locale.
#include "NameOrder.h"
#include "TestRegistry.h"
#include "TestState.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace pixdock;

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

const QStringList &pieces()
{
    static const QStringList p = {
        "a",  "A", "b", "B",  "e", "E", "z", "Z", "é", "É", "e\u0301", "ä", "Ä", "ö", "å", "ß", "ẞ", "ss", "ı",
        "İ",  "i", "σ", "Σ",  "ς", "ε", "λ", "ж", "Ж", "0", "00", "1", "01", "9", "10", "99", "100", " ", "_",
        "-",  ".", "(", "\u00A0", "😀", "ǅ", "ﬁ", "\u200B", "\t", "7"};
    return p;
}

QString randomName(QRandomGenerator &random)
{
    QString name;
    const int parts = 1 + int(random.bounded(6));
    for (int i = 0; i < parts; ++i)
        name += pieces().at(random.bounded(int(pieces().size())));
    return name;
}

QStringList randomNames(quint32 seed, int count)
{
    QRandomGenerator random(seed);
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << randomName(random);
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
        QStringList list = randomNames(seed, 400);
        list << QString() << QStringLiteral("a") << QStringLiteral("A");
        for (const QString &a : std::as_const(list)) {
            for (const QString &b : std::as_const(list)) {
                const int ab = sign(names::compare(a, b));
                QCOMPARE(ab, -sign(names::compare(b, a)));
                QCOMPARE(ab == 0, a == b);
            }
        }
        // Sorted by the comparator, every later name compares greater: transitivity over the list.
        std::sort(list.begin(), list.end(), names::lessThan);
        for (qsizetype i = 0; i < list.size(); ++i) {
            for (qsizetype j = i + 1; j < list.size(); ++j)
                QVERIFY2(list[i] == list[j] || names::compare(list[i], list[j]) < 0,
                         qPrintable(list[i] + QStringLiteral(" / ") + list[j]));
        }
        // The sort through collation keys gives the same order.
        QStringList keyed = randomNames(seed, 400);
        keyed << QString() << QStringLiteral("a") << QStringLiteral("A");
        names::sort(keyed);
        QStringList compared = keyed;
        std::stable_sort(compared.begin(), compared.end(), names::lessThan);
        QCOMPARE(keyed, compared);
    }

    void digitsCountByValueAndCaseNeverDecidesAlone()
    {
        // Letters whose case maps one to one.
        const QString letters = QStringLiteral("abezéäöåσλж");
        QRandomGenerator random(9);
        auto word = [&] {
            QString w;
            for (int i = 0, n = 1 + int(random.bounded(5)); i < n; ++i) {
                const QChar c = letters.at(random.bounded(int(letters.size())));
                w += random.bounded(2) ? c.toUpper() : c;
            }
            return w;
        };
        for (int n = 0; n < 500; ++n) {
            const QString prefix = word();
            const quint32 small = random.bounded(1000u);
            const quint32 large = small + 1 + random.bounded(100000u);
            QVERIFY2(names::compare(prefix + QString::number(small) + QStringLiteral(".jpg"),
                                    prefix + QString::number(large) + QStringLiteral(".jpg"))
                         < 0,
                     qPrintable(prefix));
            const QString a = word();
            const QString b = word();
            if (a.toCaseFolded() != b.toCaseFolded())
                QCOMPARE(sign(names::compare(a.toUpper(), b.toLower())), sign(names::compare(a, b)));
        }
    }

    void theOrderFollowsTheLocale()
    {
        const QStringList given = {"zz.jpg", "10.jpg", "9.jpg", "ärger.jpg", "Ärmel.jpg", "éclair.jpg",
                                   "Eclair.jpg", "ελιά.jpg", "apfel.jpg"};
        test::switchLocale(QLocale(QLocale::German, QLocale::Germany));
        const QString german = names::identity();
        const int generation = names::generation();
        QStringList sorted = given;
        names::sort(sorted);
        QCOMPARE(sorted, (QStringList{"9.jpg", "10.jpg", "apfel.jpg", "ärger.jpg", "Ärmel.jpg", "Eclair.jpg",
                                      "éclair.jpg", "zz.jpg", "ελιά.jpg"}));

        test::switchLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
        QVERIFY(names::identity() != german);
        QVERIFY(names::generation() != generation);
        sorted = given;
        names::sort(sorted);
        // Swedish sorts ä after z.
        QCOMPARE(sorted, (QStringList{"9.jpg", "10.jpg", "apfel.jpg", "Eclair.jpg", "éclair.jpg", "zz.jpg",
                                      "ärger.jpg", "Ärmel.jpg", "ελιά.jpg"}));
    }
};

PIXDOCK_REGISTER_TEST(TestNameOrder)
#include "tst_NameOrder.moc"
