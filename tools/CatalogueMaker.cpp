// Making db.fil: the schema runs on a temporary file, which is then linked into place.
// link() refuses an existing target, so a catalogue that is there (or appears meanwhile)
// is never replaced.
#include "CatalogueMaker.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace pixdock {

std::string makeCatalogueIfMissing(const std::string &schemaPath, const std::string &target, bool *made)
{
    if (made)
        *made = false;
    if (access(target.c_str(), F_OK) == 0)
        return {};
    std::ifstream in(schemaPath);
    if (!in)
        return "cannot read " + schemaPath;
    std::stringstream schema;
    schema << in.rdbuf();

    const std::string temp = target + ".new." + std::to_string(getpid());
    std::remove(temp.c_str());
    sqlite3 *db = nullptr;
    int rc = sqlite3_open(temp.c_str(), &db);
    char *message = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, &message);
    std::string failure;
    if (rc != SQLITE_OK)
        failure = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    sqlite3_close(db);
    if (failure.empty()) {
        if (link(temp.c_str(), target.c_str()) == 0) {
            if (made)
                *made = true;
        } else if (errno != EEXIST) {
            failure = target + ": " + std::strerror(errno);
        }
    }
    std::remove(temp.c_str());
    return failure;
}

} // namespace pixdock
