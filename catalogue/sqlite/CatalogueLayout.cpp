// Reading table Info's layout with PRAGMA table_list and table_xinfo.
#include "CatalogueLayout.h"

#include "CatalogueSqlite.h"

#include <sqlite3.h>

#include <QStringList>

namespace pixdock::catalogue {

namespace {

const QStringList &knownColumns()
{
    static const QStringList columns = {QStringLiteral("filename"), QStringLiteral("location"),
                                        QStringLiteral("description")};
    return columns;
}

bool holdsText(const QString &declaredType)
{
    const QString type = declaredType.toUpper();
    return type == QLatin1String("TEXT") || type == QLatin1String("ANY");
}

} // namespace

QString layoutProblem(sqlite3 *handle)
{
    QString type;
    bool withoutRowid = false;
    bool strict = false;
    {
        SqlStatement list(handle, QStringLiteral("PRAGMA main.table_list(Info)"));
        if (!list.step())
            return QStringLiteral("it holds no table Info.");
        type = list.textAt(2);
        withoutRowid = list.int64At(4) != 0;
        strict = list.int64At(5) != 0;
    }
    if (type == QLatin1String("view"))
        return QStringLiteral("Info is a view, not a table.");
    if (type != QLatin1String("table"))
        return QStringLiteral("Info is a %1 table, not a plain one.").arg(type);
    if (withoutRowid)
        return QStringLiteral("table Info is a WITHOUT ROWID table, which Pixdock cannot list in order.");

    struct Column
    {
        QString name;
        QString type;
        bool mustBeGiven; // NOT NULL, no default, not generated
        bool inKey;
    };
    QList<Column> others;
    QStringList missing = knownColumns();
    int keyColumns = 0;
    SqlStatement columns(handle, QStringLiteral("PRAGMA main.table_xinfo(Info)"));
    while (columns.step()) {
        const QString name = columns.textAt(1);
        const QString declared = columns.textAt(2);
        const bool notNull = columns.int64At(3) != 0;
        const bool hasDefault = columns.columnType(4) != SQLITE_NULL;
        const bool inKey = columns.int64At(5) != 0;
        const bool generated = columns.int64At(6) == 2 || columns.int64At(6) == 3;
        keyColumns += inKey ? 1 : 0;
        if (missing.removeAll(name.toLower()) > 0) {
            if (generated)
                return QStringLiteral("column %1 of table Info is computed by the database, so Pixdock cannot "
                                      "write it.")
                    .arg(name);
            if (strict && !holdsText(declared))
                return QStringLiteral("column %1 of table Info does not hold text.").arg(name);
            continue;
        }
        others.append({name, declared, notNull && !hasDefault && !generated, inKey});
    }
    if (!missing.isEmpty())
        return QStringLiteral("table Info has no column %1.").arg(missing.first());
    for (const Column &c : others) {
        // The one INTEGER PRIMARY KEY is the rowid itself: it fills itself.
        const bool rowid = c.inKey && keyColumns == 1 && c.type.toUpper() == QLatin1String("INTEGER");
        if (c.mustBeGiven && !rowid)
            return QStringLiteral("column %1 of table Info needs a value that Pixdock cannot give (it may not "
                                  "be empty and has no default).")
                .arg(c.name);
    }
    return {};
}

} // namespace pixdock::catalogue
