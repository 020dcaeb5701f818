// Making an installed program's catalogue on its first start.
#pragma once

#include <QString>

namespace pixdock::catalogue {

// When the catalogue's location comes with a schema (an installed program's own catalogue) and
// no file is there, makes an empty catalogue from the schema, its folder too. The file appears
// whole or not at all, and one that appears meanwhile is never replaced. Returns the path of
// the catalogue made, or an empty text when none was made; raises a run-time error when it
// cannot be made.
QString makeMissingCatalogue();

} // namespace pixdock::catalogue
