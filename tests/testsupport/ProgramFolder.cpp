// Temporary program folders with a fresh catalogue.
#include "ProgramFolder.h"

#include "CatalogueMaker.h"
#include "Locations.h"

#include <QFile>

#include <stdexcept>

namespace pixdock::test {

QString schemaFile() { return QStringLiteral(PIXDOCK_SCHEMA_FILE); }

ProgramFolder::ProgramFolder()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot make a temporary program folder");
    const std::string failure = makeCatalogueIfMissing(QFile::encodeName(schemaFile()).toStdString(),
                                                       QFile::encodeName(cataloguePath()).toStdString());
    if (!failure.empty())
        throw std::runtime_error(failure);
    locations::setProgramFolder(m_dir.path());
}

ProgramFolder::~ProgramFolder() { locations::setProgramFolder(QString()); }

} // namespace pixdock::test
