// First cut of the store: opens db.fil through Qt SQL.
#include "CatalogueStore.h"

#include "Locations.h"
#include "ModGlobal.h"
#include "RunTimeError.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>

namespace pixdock::catalogue {

void OpenConnection()
{
    const QString path = locations::cataloguePath();
    if (!QFileInfo::exists(path))
        throw RunTimeError(err::DatabaseError, QStringLiteral("Could not find file '%1'.").arg(path));
    const QString name = QStringLiteral("pixdock-shared");
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    if (!db.open())
        throw RunTimeError(err::DatabaseError, db.lastError().text());
    gConnection = name;
}

} // namespace pixdock::catalogue
