// The catalogue commands of the command line.
#include "CatalogueCommands.h"

#include "CatalogueAddress.h"
#include "CatalogueTransfer.h"
#include "RunTimeError.h"

namespace pixdock {

CatalogueCommandOutcome runCatalogueCommand(const CommandLine &line)
{
    CatalogueCommandOutcome outcome;
    const QString from = CatalogueAddress::shown(line.catalogue);
    try {
        if (line.catalogueCommand == CommandLine::CatalogueCommand::Create) {
            catalogue::createCatalogue(line.catalogue);
            outcome.text = QStringLiteral("Made an empty catalogue: %1\n").arg(from);
        } else if (line.catalogueCommand == CommandLine::CatalogueCommand::Copy) {
            const catalogue::CopyOutcome copied = catalogue::copyCatalogue(line.catalogue, line.copyTarget);
            outcome.text = QStringLiteral("Copied %1 pictures from %2 to %3; both hold the same rows (SHA-256 %4).\n")
                               .arg(copied.rows)
                               .arg(from, CatalogueAddress::shown(line.copyTarget), QString::fromLatin1(copied.checksum));
        }
    } catch (const RunTimeError &e) {
        outcome.exitStatus = 1;
        outcome.toErrorStream = true;
        outcome.text = QStringLiteral("pixdock: %1\n").arg(e.description());
    }
    return outcome;
}

} // namespace pixdock
