// The list's and the search's rows: paged from the catalogue, or copied whole where the
// catalogue lacks the indexes that the paged list needs (a read-only catalogue that never had
// them).
#include "CatalogueRowSources.h"

#include "CatalogueIndexes.h"
#include "CataloguePagedRows.h"
#include "CatalogueSearch.h"
#include "CatalogueSqlite.h"
#include "CatalogueStatements.h"
#include "CatalogueStore.h"

namespace pixdock::catalogue {

std::shared_ptr<const GridRows> listRows()
{
    auto connection = std::make_shared<PrivateConnection>();
    if (hasNameOrderIndexes(sqliteHandle(connection->database())))
        return PagedRows::inFileNameOrder(std::move(connection));
    return std::make_shared<SnapshotRows>(readRows(connection->database(), listStatement()));
}

std::shared_ptr<const GridRows> searchRows(const QString &keywordText)
{
    auto connection = std::make_shared<PrivateConnection>();
    SearchHits hits = findRowids(connection->database(), keywordText, PagedRows::EagerRows);
    if (hits.rowids.isEmpty())
        return nullptr;
    return std::make_shared<PagedRows>(std::move(connection), std::move(hits.rowids), std::move(hits.rows));
}

} // namespace pixdock::catalogue
