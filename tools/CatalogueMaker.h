// Makes an empty catalogue file from the schema unless a file of that name already exists.
#pragma once

#include <string>

namespace pixdock {

// Returns an empty text on success (including "already there"), else what went wrong. `made`,
// when given, tells whether this call made the file.
std::string makeCatalogueIfMissing(const std::string &schemaPath, const std::string &target,
                                   bool *made = nullptr);

} // namespace pixdock
