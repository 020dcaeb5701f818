// Reading the registry stand-in: text and number values, missing keys, values and files.
#include "Locations.h"
#include "RegistryStandIn.h"
#include "RunTimeError.h"
#include "SysInfoLookup.h"
#include "TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace pixdock;

class TestGetKeyValue : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString writeStandIn(const QString &text)
    {
        const QString path = m_dir.filePath(QStringLiteral("registry.ini"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the registry stand-in");
        file.write(text.toUtf8());
        return path;
    }

private slots:
    void cleanup() { locations::setRegistryFile(QString()); }

    void readsOneValue_data()
    {
        QTest::addColumn<QString>("standIn");
        QTest::addColumn<quint32>("root");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("text");
        const QString msinfo = QStringLiteral("[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
                                              "PATH=/opt/tools/sys info\n");
        const quint32 hklm = registry::HKEY_LOCAL_MACHINE;
        QTest::newRow("text value with a space") << msinfo << hklm << about::SysInfoKey << "PATH" << true << "/opt/tools/sys info";
        QTest::newRow("names in other letter case")
            << msinfo << hklm << "software\\microsoft\\shared tools\\msinfo" << "path" << true << "/opt/tools/sys info";
        QTest::newRow("a key that only begins the same")
            << msinfo << hklm << "SOFTWARE\\Microsoft\\Shared Tools" << "PATH" << false << "";
        QTest::newRow("value in another key")
            << msinfo << hklm << about::SysInfoLocationKey << "MSINFO" << false << "";
        QTest::newRow("missing value") << msinfo << hklm << about::SysInfoKey << "Other" << false << "";
        QTest::newRow("another root") << msinfo << quint32(0x80000001u) << about::SysInfoKey << "PATH" << false << "";
        QTest::newRow("quoted text keeps its blanks")
            << "[K]\nV = \"  padded  \"\n" << hklm << "K" << "V" << true << "  padded  ";
        QTest::newRow("number value as decimal") << "[K]\n; a number\nV=dword:0000001a\n" << hklm << "K" << "V" << true << "26";
        QTest::newRow("a value ending in a bracket is no key") << "[K]\nV=list[1]\n" << hklm << "K" << "V" << true << "list[1]";
        QTest::newRow("first of two") << "[K]\nV=one\nV=two\n" << hklm << "K" << "V" << true << "one";
        QTest::newRow("empty text") << "[K]\nV=\n" << hklm << "K" << "V" << true << "";
        QTest::newRow("no stand-in file") << "<absent>" << hklm << about::SysInfoKey << "PATH" << false << "";
        QTest::newRow("value too large for the buffer")
            << "[K]\nV=" + QString(1025, 'x') + "\n" << hklm << "K" << "V" << false << "";
    }
    void readsOneValue()
    {
        QFETCH(QString, standIn);
        QFETCH(quint32, root);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(bool, read);
        QFETCH(QString, text);
        locations::setRegistryFile(standIn == "<absent>" ? m_dir.filePath(QStringLiteral("absent.ini"))
                                                         : writeStandIn(standIn));
        QString result = QStringLiteral("left over");
        QCOMPARE(about::GetKeyValue(root, key, value, result), read);
        QCOMPARE(result, text);
    }

    void aValueFillingTheWholeBufferIsAnError()
    {
        locations::setRegistryFile(writeStandIn("[K]\nV=" + QString(1024, 'x') + "\n"));
        QString result;
        QVERIFY_THROWS_EXCEPTION(RunTimeError, about::GetKeyValue(registry::HKEY_LOCAL_MACHINE,
                                                                  "K", "V", result));
    }
};

PIXDOCK_REGISTER_TEST(TestGetKeyValue)
#include "tst_GetKeyValue.moc"
