// Making and checking the catalogue on a server. The folding function that the trigger uses is
// written out from Qt's own case folding when the catalogue is made, so that rows written by
// other programs are folded exactly as Pixdock folds; it is slow (translate() walks its table
// for every character), which is why Pixdock hands over the folded copies itself.
#include "ServerSchema.h"

#include "CaseFolding.h"
#include "ServerConnection.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace pixdock::catalogue {

namespace {

using namespace serverschema;

QString foldFunctionStatement()
{
    QString from;
    QString to;
    for (const auto &[c, folded] : caseFoldingPairs()) {
        // ASCII goes through lower() under the C collation, which folds A-Z and nothing else.
        if (c < 0x80)
            continue;
        from += QString::fromUcs4(&c, 1);
        to += QString::fromUcs4(&folded, 1);
    }
    return QStringLiteral("CREATE FUNCTION %1(t text) RETURNS text LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $f$ "
                          "SELECT CASE WHEN t ~ '^[\\x01-\\x7f]*$' THEN lower(t COLLATE \"C\") "
                          "ELSE translate(lower(t COLLATE \"C\"), '%2', '%3') END $f$")
        .arg(FoldFunction, from, to);
}

// Rows that other programs insert, or whose texts they change, get their folded copies here.
QString triggerFunctionStatement()
{
    return QStringLiteral(
               "CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $f$ BEGIN "
               "IF TG_OP = 'INSERT' THEN "
               "  IF NEW.%2 IS NULL THEN NEW.%2 := %4(NEW.FileName); END IF; "
               "  IF NEW.%3 IS NULL THEN NEW.%3 := %4(NEW.Description); END IF; "
               "ELSE "
               "  IF NEW.FileName IS DISTINCT FROM OLD.FileName AND NEW.%2 IS NOT DISTINCT FROM OLD.%2 "
               "    THEN NEW.%2 := %4(NEW.FileName); END IF; "
               "  IF NEW.Description IS DISTINCT FROM OLD.Description AND NEW.%3 IS NOT DISTINCT FROM OLD.%3 "
               "    THEN NEW.%3 := %4(NEW.Description); END IF; "
               "END IF; RETURN NEW; END $f$")
        .arg(FoldTrigger, FileNameFolded, DescriptionFolded, FoldFunction);
}

// The list's order: the user's language, case ignored, digits by value.
QString collationStatement()
{
    QString language = QLocale().bcp47Name().section(QLatin1Char('-'), 0, 0);
    if (language.isEmpty() || language == QLatin1String("C") || language == QLatin1String("en"))
        language = QStringLiteral("und");
    return QStringLiteral("CREATE COLLATION %1 (provider = icu, locale = '%2-u-kn-true-ks-level2')")
        .arg(NameCollation, language);
}

void run(QSqlQuery &query, const QString &statement, const QSqlDatabase &db, const CatalogueAddress &address)
{
    if (!query.exec(statement))
        throw serverError(query.lastError(), db, address);
}

bool tableInfoExists(const QSqlDatabase &db, const CatalogueAddress &address)
{
    QSqlQuery q(db);
    run(q, QStringLiteral("SELECT to_regclass('info') IS NOT NULL"), db, address);
    return q.next() && q.value(0).toBool();
}

RunTimeError notACatalogue(const CatalogueAddress &address, const QString &why)
{
    return RunTimeError(err::DatabaseError,
                        serverFailureText(QStringLiteral("The database on the server is not a picture catalogue: %1").arg(why),
                                          address));
}

} // namespace

QStringList serverIndexStatements()
{
    return {
        QStringLiteral("CREATE INDEX %1 ON Info USING gin (%2 gin_trgm_ops)").arg(SearchIndex, DescriptionFolded),
        QStringLiteral("CREATE INDEX %1 ON Info (%2)").arg(FoldedNameIndex, FileNameFolded),
        QStringLiteral("CREATE INDEX %1 ON Info ((COALESCE(FileName, '') COLLATE %2), id)").arg(NameOrderIndex, NameCollation),
    };
}

QStringList serverSchemaStatements()
{
    QStringList statements{
        QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm"),
        collationStatement(),
        QStringLiteral("CREATE TABLE Info (FileName text, Location text, Description text, "
                       "id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
                       "%1 text COLLATE \"C\", %2 text COLLATE \"C\")")
            .arg(FileNameFolded, DescriptionFolded),
        foldFunctionStatement(),
        triggerFunctionStatement(),
        QStringLiteral("CREATE TRIGGER %1 BEFORE INSERT OR UPDATE ON Info FOR EACH ROW EXECUTE FUNCTION %1()")
            .arg(FoldTrigger),
    };
    return statements + serverIndexStatements();
}

void createServerCatalogue(const QSqlDatabase &db, const CatalogueAddress &address)
{
    QSqlQuery q(db);
    run(q, QStringLiteral("BEGIN"), db, address);
    try {
        // Another session creating the catalogue at the same moment waits here, then finds it.
        run(q, QStringLiteral("SELECT pg_advisory_xact_lock(%1, 0)").arg(AdvisoryLockSpace), db, address);
        if (tableInfoExists(db, address))
            throw RunTimeError(err::DatabaseError,
                               serverFailureText(QStringLiteral("The database on the server already has a table Info; "
                                                                "it was left as it is."),
                                                 address));
        for (const QString &statement : serverSchemaStatements())
            run(q, statement, db, address);
        run(q, QStringLiteral("COMMIT"), db, address);
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

void checkServerCatalogue(const QSqlDatabase &db, const CatalogueAddress &address)
{
    QSqlQuery q(db);
    run(q, QStringLiteral("SELECT c.relkind FROM pg_class c WHERE c.oid = to_regclass('info')"), db, address);
    if (!q.next())
        throw RunTimeError(err::DatabaseError, serverFailureText(server::NoTable, address));
    const QString kind = q.value(0).toString();
    if (kind != QLatin1String("r") && kind != QLatin1String("p"))
        throw notACatalogue(address, QStringLiteral("Info is not a table."));
    run(q, QStringLiteral("SELECT attname FROM pg_attribute WHERE attrelid = to_regclass('info') "
                          "AND attnum > 0 AND NOT attisdropped"),
        db, address);
    QStringList columns;
    while (q.next())
        columns << q.value(0).toString();
    for (const QString &needed : {QStringLiteral("filename"), QStringLiteral("location"),
                                  QStringLiteral("description"), QStringLiteral("id"), FileNameFolded,
                                  DescriptionFolded}) {
        if (!columns.contains(needed))
            throw notACatalogue(address, QStringLiteral("table Info has no column %1 (make the catalogue with "
                                                        "pixdock --create-catalogue).")
                                             .arg(needed));
    }
}

} // namespace pixdock::catalogue
