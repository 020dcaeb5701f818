// The fuzzers' properties, checked on every input kept in fuzz/regressions (inputs that once
// broke one) and on the fuzzers' seeds, so a fault a fuzzer found stays fixed. `make fuzz` runs
// the fuzzers themselves.
#include "ParserProperties.h"
#include "TestRegistry.h"

#include <QDirIterator>
#include <QFile>
#include <QTest>

class TestParserProperties : public QObject
{
    Q_OBJECT
private slots:
    void keptFuzzerInputsStillHold_data()
    {
        QTest::addColumn<QString>("file");
        // fuzz/regressions/HARNESS/INPUT and fuzz/seeds/HARNESS/INPUT
        QDirIterator it(QStringLiteral(PIXDOCK_FUZZ_FOLDER), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next(), kind = file.section(u'/', -3, -3);
            if ((kind == u"regressions" || kind == u"seeds") && !file.endsWith(QLatin1String("/README")))
                QTest::newRow(qPrintable(file.section(u'/', -3))) << file;
        }
    }
    void keptFuzzerInputsStillHold()
    {
        QFETCH(QString, file);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const std::string problem = pixdock::fuzzing::checkInput(file.section(u'/', -2, -2), f.readAll());
        QVERIFY2(problem.empty(), problem.c_str());
    }
};

PIXDOCK_REGISTER_TEST(TestParserProperties)
#include "tst_ParserProperties.moc"
