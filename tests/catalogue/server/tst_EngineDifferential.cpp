// The two engines side by side over random awkward catalogues: the same rows added to a file
// and to a server whose own locale folds otherwise (Turkish), then the same keyword searches and
// the list read from both. Whatever the server's locale, both must give the same rows in the
// same order.
#include "CatalogueEngine.h"
#include "CatalogueTransfer.h"
#include "ServerSession.h"
#include "ServerTestSupport.h"
#include "SqliteSession.h"
#include "TestRegistry.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace pixdock;
using catalogue::CatalogueSession;

namespace {

// Pieces whose case mapping or meaning is tricky: sharp s, final sigma, dotted and dotless i,
// combining marks, ligatures, Cherokee, wildcards, quotes and backslashes.
const QStringList Pieces{"ß", "ẞ", "SS", "ς", "σ", "Σ", "İ", "ı", "I", "i", "e\u0301", "é", "É", "ﬃ", "Ꭰ",
                         "ꭰ", "µ", "μ", "ſ", "%", "_", "'", "\"", "\\", " ", "a", "B", "9", "10", "😀"};

QString randomText(QRandomGenerator &random, int most)
{
    QString text;
    for (int n = int(random.bounded(most + 1)); n > 0; --n)
        text += Pieces.at(int(random.bounded(qsizetype(Pieces.size()))));
    return text;
}

// What an engine read, one "name|folder|description" per place.
struct Rows : catalogue::SnapshotSink
{
    void expectRows(qint64) override {}
    void append(qint64 at, std::string_view name, std::string_view folder, std::string_view description) override
    {
        const auto text = [](std::string_view v) { return QString::fromUtf8(v.data(), qsizetype(v.size())); };
        rows.resize(std::max(rows.size(), qsizetype(at) + 1));
        rows[at] = text(name) + '|' + text(folder) + '|' + text(description);
    }
    void restart() override { rows.clear(); }
    bool cancelled() const override { return false; }
    QStringList rows;
};

} // namespace

class TestEngineDifferential : public QObject
{
    Q_OBJECT
private slots:
    void bothEnginesFindAndListTheSameRows_data()
    {
        QTest::addColumn<quint32>("seed");
        for (const quint32 seed : {1u, 2u, 3u, 4u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void bothEnginesFindAndListTheSameRows()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("db.fil"));
        const QString address = test::PostgresServer::shared().uri(test::freshServerDatabase("differential"));
        catalogue::createCatalogue(file);
        catalogue::createCatalogue(address);
        catalogue::SqliteSession onFile(file);
        catalogue::ServerSession onServer(CatalogueAddress::fromText(address));
        for (int n = 0; n < 120; ++n) {
            const catalogue::CatalogueRow row{randomText(random, 4) + ".jpg", randomText(random, 3), randomText(random, 8)};
            onFile.addRow(row);
            onServer.addRow(row);
        }
        const auto both = [&](const std::function<void(CatalogueSession &, Rows &)> &read) {
            Rows fromFile, fromServer;
            read(onFile, fromFile);
            read(onServer, fromServer);
            return std::pair(fromFile.rows, fromServer.rows);
        };
        const auto [list, serverList] = both([](CatalogueSession &e, Rows &r) { e.readNameOrder(r); });
        QCOMPARE(serverList, list);
        QCOMPARE(list.size(), 120);
        for (int search = 0; search < 40; ++search) {
            QStringList keywords;
            for (int k = int(random.bounded(3)); k >= 0; --k)
                keywords << randomText(random, 2);
            const auto [found, serverFound] = both([&](CatalogueSession &e, Rows &r) { e.readSearch(keywords, r); });
            QVERIFY2(serverFound == found, qPrintable(keywords.join(" | ")));
        }
        const QString name = list.at(7).section('|', 0, 0).toUpper();
        QCOMPARE(onServer.fileNameCount(name), onFile.fileNameCount(name));
    }
};

PIXDOCK_REGISTER_TEST(TestEngineDifferential)
#include "tst_EngineDifferential.moc"
