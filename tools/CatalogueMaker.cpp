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

std::string makeCatalogueFromSchema(const std::string &schemaSql, const std::string &target, bool &existed)
{
    existed = access(target.c_str(), F_OK) == 0;
    if (existed)
        return {};
    const std::string temp = target + ".new." + std::to_string(getpid());
    std::remove(temp.c_str());
    sqlite3 *db = nullptr;
    int rc = sqlite3_open(temp.c_str(), &db);
    char *message = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, schemaSql.c_str(), nullptr, nullptr, &message);
    std::string failure;
    if (rc != SQLITE_OK)
        failure = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    sqlite3_close(db);
    if (failure.empty() && link(temp.c_str(), target.c_str()) != 0) {
        if (errno == EEXIST)
            existed = true;
        else
            failure = target + ": " + std::strerror(errno);
    }
    std::remove(temp.c_str());
    return failure;
}

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
    bool existed = false;
    const std::string failure = makeCatalogueFromSchema(schema.str(), target, existed);
    if (made)
        *made = failure.empty() && !existed;
    return failure;
}

} // namespace pixdock
