// The catalogue's statements on a real server: the list's order walked in keyset pages of any
// size, the keyword search literal and folded as the file catalogue folds, the duplicate test
// and the exact removal.
#include "CatalogueTransfer.h"
#include "RunTimeError.h"
#include "ServerConnection.h"
#include "ServerQueries.h"
#include "ServerTestSupport.h"
#include "TestRegistry.h"

#include <QSqlDatabase>
#include <QTest>

#include <memory>

using namespace pixdock;
using catalogue::ServerQueries;
using catalogue::ServerRow;
using test::PostgresServer;

namespace {

QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

// A catalogue on the server holding these rows, added in this order, and a connection to it.
class ServerCatalogue
{
public:
    explicit ServerCatalogue(const QList<catalogue::CopiedRow> &rows, const QString &connection = QStringLiteral("q"))
        : m_connection(QStringLiteral("test-queries-") + connection)
    {
        m_database = test::freshServerDatabase(QStringLiteral("queries"));
        m_address = CatalogueAddress::fromText(PostgresServer::shared().uri(m_database));
        catalogue::createCatalogue(m_address.shownText());
        catalogue::openServerConnection(m_connection, m_address);
        m_queries = std::make_unique<ServerQueries>(catalogue::serverHandle(QSqlDatabase::database(m_connection, false)),
                                                    m_address);
        m_queries->execute("BEGIN");
        for (const auto &row : rows)
            m_queries->addRow(row.fileName, row.location, row.description);
        m_queries->execute("COMMIT");
    }
    ~ServerCatalogue()
    {
        m_queries.reset();
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
    ServerQueries &queries() { return *m_queries; }
    const QString &database() const { return m_database; }
    const CatalogueAddress &address() const { return m_address; }

private:
    QString m_connection;
    QString m_database;
    CatalogueAddress m_address;
    std::unique_ptr<ServerQueries> m_queries;
};

QStringList namesInOrder(ServerQueries &queries, int firstPage, int page)
{
    QStringList names;
    queries.readNameOrder([&](const ServerRow &row) {
        names << text(row.fileName) + QLatin1Char('|') + text(row.location);
        return true;
    }, firstPage, page);
    return names;
}

QStringList found(ServerQueries &queries, const QStringList &keywords, int page = 5000)
{
    QStringList names;
    queries.readSearch(keywords, [&](const ServerRow &row) {
        names << text(row.fileName);
        return true;
    }, page);
    return names;
}

catalogue::CopiedRow row(const QString &name, const QString &location = QStringLiteral("/p"),
                         const QString &description = QStringLiteral("d"))
{
    return {name, location, description};
}

} // namespace

class TestServerQueries : public QObject
{
    Q_OBJECT
private slots:
    void theListsOrderIsTheSameInPagesOfAnySize()
    {
        ServerCatalogue c({row(QStringLiteral("b.jpg"), QStringLiteral("/2")), row(QStringLiteral("10.jpg")),
                           row(QStringLiteral("A.jpg")), row(QString()), row(QStringLiteral("a.jpg")),
                           row(QStringLiteral("9.jpg")), row(QStringLiteral("b.jpg"), QStringLiteral("/1")),
                           row(QStringLiteral("Äpfel.jpg")), row(QStringLiteral("zz.jpg")), row(QStringLiteral("ärger.jpg")),
                           row(QStringLiteral(""), QStringLiteral("/e"))});
        const QStringList expected{QStringLiteral("|/p"), QStringLiteral("|/e"), QStringLiteral("9.jpg|/p"),
                                   QStringLiteral("10.jpg|/p"), QStringLiteral("A.jpg|/p"), QStringLiteral("a.jpg|/p"),
                                   QStringLiteral("Äpfel.jpg|/p"), QStringLiteral("ärger.jpg|/p"),
                                   QStringLiteral("b.jpg|/2"), QStringLiteral("b.jpg|/1"), QStringLiteral("zz.jpg|/p")};
        QCOMPARE(namesInOrder(c.queries(), 64, 5000), expected);
        for (const int page : {1, 2, 3})
            QCOMPARE(namesInOrder(c.queries(), page, page), expected);
        QCOMPARE(c.queries().rowCount(), expected.size());
    }

    void theSearchFindsKeywordsLiterallyAndFoldedAsTheFileCatalogueDoes_data()
    {
        QTest::addColumn<QStringList>("keywords");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("plain, any case") << QStringList{"BEACH"} << QStringList{"beach.jpg", "Beach2.jpg"};
        QTest::newRow("OR of keywords") << QStringList{"beach", "dog"} << QStringList{"beach.jpg", "dog.jpg", "Beach2.jpg"};
        QTest::newRow("blank kept") << QStringList{" dog"} << QStringList{};
        QTest::newRow("percent is a character") << QStringList{"50%"} << QStringList{"sale.jpg"};
        QTest::newRow("underscore is a character") << QStringList{"a_b"} << QStringList{"under.jpg"};
        QTest::newRow("backslash is a character") << QStringList{"c:\\x"} << QStringList{"back.jpg"};
        QTest::newRow("quote") << QStringList{"o'brien"} << QStringList{"quote.jpg"};
        QTest::newRow("capital sharp s folds to sharp s") << QStringList{"STRAẞE"} << QStringList{"street.jpg"};
        QTest::newRow("final sigma and sigma fold alike") << QStringList{"ΟΔΟΣ"} << QStringList{"greek.jpg"};
        QTest::newRow("dotless i is its own letter") << QStringList{"ı"} << QStringList{};
        QTest::newRow("Kelvin sign is k") << QStringList{"\u212A"} << QStringList{"dog.jpg", "kelvin.jpg"};
        // A description added empty is kept as the empty text, as in the file catalogue.
        QTest::newRow("an empty keyword finds every description")
            << QStringList{""} << QStringList{"beach.jpg", "dog.jpg", "sale.jpg", "under.jpg", "back.jpg", "quote.jpg",
                                              "street.jpg", "greek.jpg", "kelvin.jpg", "empty.jpg", "Beach2.jpg"};
    }

    void theSearchFindsKeywordsLiterallyAndFoldedAsTheFileCatalogueDoes()
    {
        QFETCH(QStringList, keywords);
        QFETCH(QStringList, expected);
        ServerCatalogue c({row(QStringLiteral("beach.jpg"), QStringLiteral("/p"), QStringLiteral("On the Beach")),
                           row(QStringLiteral("dog.jpg"), QStringLiteral("/p"), QStringLiteral("dogs in the park")),
                           row(QStringLiteral("sale.jpg"), QStringLiteral("/p"), QStringLiteral("50% off")),
                           row(QStringLiteral("under.jpg"), QStringLiteral("/p"), QStringLiteral("a_b axb")),
                           row(QStringLiteral("back.jpg"), QStringLiteral("/p"), QStringLiteral("C:\\x")),
                           row(QStringLiteral("quote.jpg"), QStringLiteral("/p"), QStringLiteral("O'Brien")),
                           row(QStringLiteral("street.jpg"), QStringLiteral("/p"), QStringLiteral("straße")),
                           row(QStringLiteral("greek.jpg"), QStringLiteral("/p"), QStringLiteral("οδος")),
                           row(QStringLiteral("kelvin.jpg"), QStringLiteral("/p"), QStringLiteral("0 K")),
                           row(QStringLiteral("empty.jpg"), QStringLiteral("/p"), QString()),
                           row(QStringLiteral("Beach2.jpg"), QStringLiteral("/p"), QStringLiteral("beach again"))});
        QCOMPARE(found(c.queries(), keywords), expected);
        QCOMPARE(found(c.queries(), keywords, 1), expected);
    }

    void duplicatesAreCountedFoldedAndRemovalIsExact()
    {
        ServerCatalogue c({row(QStringLiteral("sunset.jpg"), QStringLiteral("/Photos")),
                           row(QStringLiteral("SUNSET.JPG"), QStringLiteral("/Photos")),
                           row(QStringLiteral("sunset.jpg"), QStringLiteral("/photos")),
                           row(QStringLiteral("sunset.jpg"), QStringLiteral("/Photos"))});
        QCOMPARE(c.queries().fileNameCount(QStringLiteral("Sunset.JPG")), 4);
        QCOMPARE(c.queries().removeRows(QStringLiteral("sunset.jpg"), QStringLiteral("/Photos")), 2);
        QCOMPARE(c.queries().removeRows(QStringLiteral("sunset.jpg"), QStringLiteral("/Photos")), 0);
        QCOMPARE(namesInOrder(c.queries(), 64, 64), (QStringList{"SUNSET.JPG|/Photos", "sunset.jpg|/photos"}));
    }
};

PIXDOCK_REGISTER_TEST(TestServerQueries)
#include "tst_ServerQueries.moc"
