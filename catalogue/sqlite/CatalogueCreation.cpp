// Making the user's catalogue from the installed schema.
#include "CatalogueCreation.h"

#include "CatalogueMaker.h"
#include "Locations.h"
#include "RunTimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pixdock::catalogue {

QString makeMissingCatalogue()
{
    const locations::CatalogueLocation location = locations::catalogueLocation();
    if (location.schemaFile.isEmpty() || QFileInfo::exists(location.path))
        return {};
    const auto cannotMake = [&](const QString &why) {
        return RunTimeError(err::DatabaseError,
                            QStringLiteral("The catalogue file %1 could not be made: %2").arg(location.path, why));
    };
    const QString folder = QFileInfo(location.path).absolutePath();
    if (!QDir().mkpath(folder))
        throw cannotMake(QStringLiteral("the folder %1 could not be made.").arg(folder));
    bool made = false;
    const std::string failure = makeCatalogueIfMissing(QFile::encodeName(location.schemaFile).toStdString(),
                                                       QFile::encodeName(location.path).toStdString(), &made);
    if (!failure.empty())
        throw cannotMake(QString::fromLocal8Bit(failure.c_str()) + QLatin1Char('.'));
    return made ? location.path : QString();
}

} // namespace pixdock::catalogue
