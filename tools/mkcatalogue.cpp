// Makes db.fil from the schema when there is none:  mkcatalogue SCHEMA.sql TARGET
#include "CatalogueMaker.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkcatalogue SCHEMA.sql TARGET\n");
        return 2;
    }
    const std::string failure = pixdock::makeCatalogueIfMissing(argv[1], argv[2]);
    if (!failure.empty()) {
        std::fprintf(stderr, "mkcatalogue: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
