#include "persist/DocumentGuard.h"

#include "persist/DocumentSchema.h"

#include <sqlite3.h>

#include <array>
#include <cstring>

namespace {

// The pragmas the storage runs, some of them inside SQLite (serializing reads the page count);
// a pragma can change how the file is read or written.
constexpr std::array<const char*, 7> AllowedPragmas{"application_id", "user_version", "page_size", "page_count",
                                                    "auto_vacuum",    "query_only",   "quick_check"};
// Pragmas the storage only reads: the schema's version tells a save whether the layout changed.
constexpr std::array<const char*, 1> ReadPragmas{"schema_version"};
// The SQL functions our statements call.
constexpr std::array<const char*, 2> AllowedFunctions{"substr", "instr"};

template <std::size_t N>
bool listed(const std::array<const char*, N>& names, const char* name)
{
    if (!name)
        return false;
    for (const char* entry : names) {
        if (sqlite3_stricmp(entry, name) == 0)
            return true;
    }
    return false;
}

bool isSchemaTable(const char* name)
{
    return name && (std::strcmp(name, "sqlite_master") == 0 || std::strcmp(name, "sqlite_schema") == 0);
}

bool isPageTable(const char* name)
{
    return name && std::strcmp(name, "sqlite_dbpage") == 0;
}

int authorize(void*, int action, const char* first, const char* second, const char*, const char*)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        return SQLITE_OK;
    case SQLITE_READ:
        // Reading the schema is how a file is checked before anything else is read; reading
        // the pages is how a document becomes the bytes of a file.
        return DocumentSchema::isOurTable(first) || isSchemaTable(first) || isPageTable(first) ? SQLITE_OK
                                                                                                : SQLITE_DENY;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        // Creating one of our tables records it in the schema; SQL of its own cannot, as the
        // defensive setting forbids writing the schema.
        return DocumentSchema::isOurTable(first) || isSchemaTable(first) ? SQLITE_OK : SQLITE_DENY;
    case SQLITE_CREATE_TABLE:
        return DocumentSchema::isOurTable(first) ? SQLITE_OK : SQLITE_DENY;
    case SQLITE_CREATE_INDEX:
        // Only the index SQLite makes for the primary key of one of our tables.
        return first && std::strncmp(first, "sqlite_autoindex_", 17) == 0 && DocumentSchema::isOurTable(second)
                   ? SQLITE_OK
                   : SQLITE_DENY;
    case SQLITE_PRAGMA:
        // A pragma's value, when the statement sets it, comes as the second argument.
        return listed(AllowedPragmas, first) || (listed(ReadPragmas, first) && !second) ? SQLITE_OK : SQLITE_DENY;
    case SQLITE_FUNCTION:
        return listed(AllowedFunctions, second) ? SQLITE_OK : SQLITE_DENY;
    default:
        return SQLITE_DENY;
    }
}

} // namespace

void DocumentGuard::apply(sqlite3* db)
{
    const auto set = [db](int option, int value) { sqlite3_db_config(db, option, value, nullptr); };
    set(SQLITE_DBCONFIG_DEFENSIVE, 1);
    set(SQLITE_DBCONFIG_ENABLE_TRIGGER, 0);
    set(SQLITE_DBCONFIG_ENABLE_VIEW, 0);
    set(SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0);
    set(SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_set_authorizer(db, authorize, nullptr);
}
