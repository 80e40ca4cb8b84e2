#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/Observation.h"
#include "app/SqliteDatabase.h"

namespace mofeng::app {

// The observation history: one row per keyword per day (the latest recorded
// wins), kept in the session's database until cleared. Functions take the
// connection of the thread that uses it.
namespace history {

// Creates the table when absent.
bool MakeUsable(const SqliteDatabase& db);
// True when db holds a history table (a database opened read-only).
bool Present(const SqliteDatabase& db);

// Records every observation in one transaction (the caller's, when one is
// open: the statements run inside it).
bool Record(const SqliteDatabase& db, const std::vector<Observation>& observations);

struct Filter {
    std::optional<std::string> keyword;  // exactly this keyword (GBK)
    std::optional<std::string> since;    // days from this one on (YYYY-MM-DD)
};
// Observations by keyword (byte order), then day; empty on failure.
std::vector<Observation> Read(const SqliteDatabase& db, const Filter& filter = {});

// The 宝贝数量 of the keyword's last observation before `day` that has one;
// nullopt when there is none.
std::optional<std::string> ListingBefore(const SqliteDatabase& db, const std::string& keyword,
                                         const std::string& day);

struct Size {
    std::int64_t observations = 0;
    std::int64_t bytes = 0;  // what the rows hold, roughly what clearing frees
};
Size Measure(const SqliteDatabase& db);
bool Clear(const SqliteDatabase& db);

}  // namespace history
}  // namespace mofeng::app
