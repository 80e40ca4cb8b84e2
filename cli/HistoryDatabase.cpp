#include "cli/HistoryDatabase.h"

#include <cstdlib>

#include "app/HistoryRows.h"
#include "app/HistoryStore.h"
#include "app/SessionStore.h"

namespace mofeng::cli {
namespace {

namespace fs = std::filesystem;

fs::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? fs::path(value) : fs::path();
}

}  // namespace

fs::path DefaultHistoryDatabase() {
#ifdef _WIN32
    fs::path data = FromEnvironment("APPDATA");
#else
    fs::path data = FromEnvironment("XDG_DATA_HOME");
    if (data.empty()) {
        data = FromEnvironment("HOME") / ".local" / "share";
    }
#endif
    return data / "mofeng" / "session.sqlite";
}

fs::path HistoryDatabaseOption(const ParsedArguments& parsed) {
    const std::string* db = parsed.Value("db");
    return db != nullptr ? fs::path(*db) : DefaultHistoryDatabase();
}

std::optional<std::vector<std::string>> RecordRows(const fs::path& database,
                                                   const std::vector<runtime::Row>& rows,
                                                   const std::vector<std::string>& weights,
                                                   const std::string& day, std::string& why) {
    app::SessionStore::Opened opened{};
    const auto store = app::SessionStore::OpenSession(database, opened);
    if (!store) {
        why = "cannot open the history database '" + database.string() + "'";
        return std::nullopt;
    }
    if (opened == app::SessionStore::Opened::BrokenMovedAside) {
        why = "the history database was damaged; moved aside to '" + database.string() +
              ".broken'";  // reported, the recording goes on in the new one
    }
    const app::SqliteDatabase& db = store->Database();
    std::vector<std::string> changes(rows.size());
    std::vector<app::Observation> observations;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::optional<app::Observation> o = app::ObservationOfRow(rows[i], day);
        if (!o) {
            continue;
        }
        if (i < weights.size()) {
            o->suggestWeight = weights[i];
        }
        if (const auto before = app::history::ListingBefore(db, o->keyword, day)) {
            changes[i] = app::ListingChangeText(*before, o->figures.front());
        }
        observations.push_back(std::move(*o));
    }
    if (!app::history::Record(db, observations)) {
        why = "cannot record in '" + database.string() + "'";
        return std::nullopt;
    }
    return changes;
}

}  // namespace mofeng::cli
