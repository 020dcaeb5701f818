// The UNOCASE collation and the Unicode `like` as SQLite functions over CatalogueUnicode.
#include "SqliteFunctions.h"

#include "CatalogueUnicode.h"

#include <QStringView>

#include <sqlite3.h>

#include <optional>

namespace pixdock::catalogue {

namespace {

QStringView utf16Text(sqlite3_value *value)
{
    const auto *data = static_cast<const char16_t *>(sqlite3_value_text16(value));
    const int bytes = sqlite3_value_bytes16(value);
    return data ? QStringView(data, bytes / 2) : QStringView();
}

int collate(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    return compareIgnoringCase(QStringView(static_cast<const char16_t *>(a), lengthA / 2),
                               QStringView(static_cast<const char16_t *>(b), lengthB / 2));
}

// like(pattern, text [, escape]): SQLite hands the pattern first.
void like(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    std::optional<char32_t> escape;
    if (argc == 3) {
        const QStringView e = utf16Text(argv[2]);
        qsizetype i = 0;
        const char32_t c = e.isEmpty() ? 0 : nextCodePoint(e, i);
        if (e.isEmpty() || i != e.size()) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = c;
    }
    // Each value converts into its own buffer, so both views stay valid here.
    const QStringView pattern = utf16Text(argv[0]);
    const QStringView text = utf16Text(argv[1]);
    sqlite3_result_int(context, likeMatches(pattern, text, escape) ? 1 : 0);
}

} // namespace

bool registerCaselessText(sqlite3 *h)
{
    if (!h)
        return false;
    const int flags = SQLITE_UTF16 | SQLITE_DETERMINISTIC;
    return sqlite3_create_collation_v2(h, CaselessCollation, SQLITE_UTF16, nullptr, collate, nullptr) == SQLITE_OK
           && sqlite3_create_function_v2(h, "like", 2, flags, nullptr, like, nullptr, nullptr, nullptr) == SQLITE_OK
           && sqlite3_create_function_v2(h, "like", 3, flags, nullptr, like, nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace pixdock::catalogue
