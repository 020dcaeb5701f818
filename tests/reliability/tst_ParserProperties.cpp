// The fuzzers' properties, checked on every input kept in fuzz/regressions (inputs that once
// broke one) and on the fuzzers' seeds, so a fault a fuzzer found stays fixed.
#include "ParserProperties.h"
#include "PictureProperties.h"
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
            for (const char *harness : {"search", "paths", "order", "exif", "jpeg", "pnghead"}) {
                const QDir dir(fuzz.filePath(kind + QLatin1Char('/') + QLatin1String(harness)));
                for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
                    if (name != QLatin1String("README"))
                        QTest::addRow("%s/%s/%s", qPrintable(kind), harness, qPrintable(name))
                            << QString::fromLatin1(harness) << dir.filePath(name);
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
        const QByteArray bytes = f.readAll();
        const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
        std::string problem;
        if (harness == QLatin1String("search")) {
            const QStringList t = textsFromBytes(data, size_t(bytes.size()), 2);
            problem = checkSearch(t.at(0), t.at(1));
        } else if (harness == QLatin1String("exif")) {
            problem = checkExif(bytes);
        } else if (harness == QLatin1String("jpeg")) {
            problem = checkJpeg(bytes);
        } else if (harness == QLatin1String("pnghead")) {
            problem = checkPngHead(bytes);
        } else if (harness == QLatin1String("paths")) {
            const QStringList t = textsFromBytes(data, size_t(bytes.size()), 2);
            problem = checkPaths(t.at(0), t.at(1));
        } else {
            const QStringList t = textsFromBytes(data, size_t(bytes.size()), 3);
            problem = checkOrder(t.at(0), t.at(1), t.at(2));
        }
        QVERIFY2(problem.empty(), problem.c_str());
    }

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
