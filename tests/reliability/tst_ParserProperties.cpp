// The fuzzers' properties, checked on every input kept in fuzz/regressions (inputs that once
// broke one) and on the fuzzers' seeds, so a fault a fuzzer found stays fixed. `make fuzz` runs
// the fuzzers themselves.
#include "ParserProperties.h"
#include "TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace pixdock::fuzzing;

class TestParserProperties : public QObject
{
    Q_OBJECT
private slots:
    void keptFuzzerInputsStillHold_data()
    {
        QTest::addColumn<QString>("harness");
        QTest::addColumn<QString>("file");
        const QDir fuzz(QStringLiteral(PIXDOCK_FUZZ_FOLDER));
        for (const QString &kind : {QStringLiteral("regressions"), QStringLiteral("seeds")}) {
            for (const QString &harness : Harnesses) {
                const QDir dir(fuzz.filePath(kind + QLatin1Char('/') + harness));
                for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
                    if (name != QLatin1String("README"))
                        QTest::addRow("%s/%s/%s", qPrintable(kind), qPrintable(harness), qPrintable(name))
                            << harness << dir.filePath(name);
                }
            }
        }
    }
    void keptFuzzerInputsStillHold()
    {
        QFETCH(QString, harness);
        QFETCH(QString, file);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const std::string problem = checkInput(harness, f.readAll());
        QVERIFY2(problem.empty(), problem.c_str());
    }

    // The fuzzers reach texts a keyboard does not give: a cut at U+0001 and lone surrogates.
    void theInputDecoderCutsAtU0001AndKeepsLoneSurrogates()
    {
        const QByteArray utf8 = QByteArray(1, '\0') + "a\x01" "b\x01" "c";
        const auto *u = reinterpret_cast<const uint8_t *>(utf8.constData());
        QCOMPARE(textsFromBytes(u, size_t(utf8.size()), 2), (QStringList{"a", QStringLiteral("b\x01" "c")}));
        QCOMPARE(textsFromBytes(u, size_t(utf8.size()), 4), (QStringList{"a", "b", "c", ""}));
        const uint8_t utf16[] = {1, 0x00, 0xD8, 0x41, 0x00};
        const QStringList t = textsFromBytes(utf16, sizeof utf16, 1);
        QCOMPARE(t.at(0).size(), 2);
        QVERIFY(t.at(0).at(0).isHighSurrogate());
    }
};

PIXDOCK_REGISTER_TEST(TestParserProperties)
#include "tst_ParserProperties.moc"
