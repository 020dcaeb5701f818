// The two engines side by side over random awkward catalogues: the same rows added to a file
// and to a server whose own locale folds otherwise (Turkish), then the same keyword searches and
// the list read from both. Whatever the server's locale, both must give the same rows in the
// same order.
#include "CatalogueEngine.h"
#include "CatalogueTransfer.h"
#include "PostgresServer.h"
#include "ServerSession.h"
#include "ServerTestSupport.h"
#include "SqliteSession.h"
#include "TestRegistry.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

using namespace pixdock;
using catalogue::CatalogueRow;

namespace {

// Pieces whose case mapping or meaning is tricky: sharp s, final sigma, dotted and dotless i,
// combining marks, ligatures, Cherokee, wildcards, quotes and backslashes.
const QStringList Pieces{
    QStringLiteral("ß"),  QStringLiteral("ẞ"),  QStringLiteral("SS"), QStringLiteral("ς"), QStringLiteral("σ"),
    QStringLiteral("Σ"),  QStringLiteral("İ"),  QStringLiteral("ı"),  QStringLiteral("I"), QStringLiteral("i"),
    QStringLiteral("e\u0301"), QStringLiteral("é"), QStringLiteral("É"), QStringLiteral("ﬃ"), QStringLiteral("Ꭰ"),
    QStringLiteral("ꭰ"),  QStringLiteral("µ"),  QStringLiteral("μ"),  QStringLiteral("ſ"), QStringLiteral("%"),
    QStringLiteral("_"),  QStringLiteral("'"),  QStringLiteral("\""), QStringLiteral("\\"), QStringLiteral(" "),
    QStringLiteral("a"),  QStringLiteral("B"),  QStringLiteral("9"),  QStringLiteral("10"), QStringLiteral("😀"),
};

QString randomText(QRandomGenerator &random, int most)
{
    QString text;
    for (int n = int(random.bounded(most + 1)); n > 0; --n)
        text += Pieces.at(int(random.bounded(qsizetype(Pieces.size()))));
    return text;
}

class Rows : public catalogue::SnapshotSink
{
public:
    void expectRows(qint64) override {}
    void append(qint64 position, std::string_view fileName, std::string_view location,
                std::string_view description) override
    {
        if (size_t(position) >= m_rows.size())
            m_rows.resize(size_t(position) + 1);
        const auto text = [](std::string_view v) { return QString::fromUtf8(v.data(), qsizetype(v.size())); };
        m_rows[size_t(position)] = text(fileName) + '|' + text(location) + '|' + text(description);
    }
    void restart() override { m_rows.clear(); }
    bool cancelled() const override { return false; }
    QStringList list() const { return QStringList(m_rows.begin(), m_rows.end()); }

private:
    std::vector<QString> m_rows;
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
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void bothEnginesFindAndListTheSameRows()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("db.fil"));
        catalogue::createCatalogue(file);
        const QString address = test::PostgresServer::shared().uri(test::freshServerDatabase(QStringLiteral("differential")));
        catalogue::createCatalogue(address);
        catalogue::SqliteSession onFile(file);
        catalogue::ServerSession onServer(CatalogueAddress::fromText(address));
        const std::vector<catalogue::CatalogueSession *> engines{&onFile, &onServer};

        for (int n = 0; n < 120; ++n) {
            const CatalogueRow row{randomText(random, 4) + QStringLiteral(".jpg"), randomText(random, 3),
                                   randomText(random, 8)};
            for (catalogue::CatalogueSession *engine : engines)
                engine->addRow(row);
        }
        const auto read = [&](const std::function<void(catalogue::CatalogueSession &, Rows &)> &how) {
            QList<QStringList> results;
            for (catalogue::CatalogueSession *engine : engines) {
                Rows rows;
                how(*engine, rows);
                results << rows.list();
            }
            return results;
        };

        const QList<QStringList> lists = read([](catalogue::CatalogueSession &e, Rows &r) { e.readNameOrder(r); });
        QCOMPARE(lists.at(1), lists.at(0));
        QCOMPARE(lists.at(0).size(), 120);
        for (int search = 0; search < 40; ++search) {
            QStringList keywords;
            for (int k = int(random.bounded(3)); k >= 0; --k)
                keywords << randomText(random, 2);
            const QList<QStringList> found =
                read([&](catalogue::CatalogueSession &e, Rows &r) { e.readSearch(keywords, r); });
            QVERIFY2(found.at(1) == found.at(0), qPrintable(keywords.join(QStringLiteral(" | "))));
        }
        const QString name = lists.at(0).at(7).section('|', 0, 0);
        QCOMPARE(onServer.fileNameCount(name.toUpper()), onFile.fileNameCount(name.toUpper()));
    }
};

PIXDOCK_REGISTER_TEST(TestEngineDifferential)
#include "tst_EngineDifferential.moc"
