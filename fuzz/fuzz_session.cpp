// The list file and session reader over any database bytes. The first input
// byte chooses the bytes as they are, or a list file written here from rows
// the input gives and then damaged at a few places it chooses. A list file
// either loads as exactly the rows its table holds (an intact file: the rows
// written) or is refused; a session either opens with exactly those rows or
// is moved aside and starts empty. Never a part of the list, silently.
#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/ListFile.h"
#include "app/SessionStore.h"
#include "fuzz/FuzzCheck.h"

namespace {

namespace fs = std::filesystem;
using mofeng::runtime::Row;

// A folder of this process's own, in memory where there is one; removed at exit.
struct ScratchFolder {
    fs::path path;

    ScratchFolder() {
        const fs::path base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
        path = base / ("fuzz_session_" + std::to_string(getpid()));
        fs::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

const fs::path& Folder() {
    static const ScratchFolder folder;
    return folder.path;
}

void RemoveAll() {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(Folder(), ignored)) {
        fs::remove(entry.path(), ignored);
    }
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

// The cells of one stored blob, decoded here without the reader's help.
std::optional<Row> Cells(std::string_view blob) {
    Row cells;
    while (!blob.empty()) {
        if (blob.size() < 4) {
            return std::nullopt;
        }
        const auto* b = reinterpret_cast<const unsigned char*>(blob.data());
        const std::uint64_t size = b[0] | b[1] << 8 | b[2] << 16 | std::uint64_t{b[3]} << 24;
        blob.remove_prefix(4);
        if (size > blob.size()) {
            return std::nullopt;
        }
        cells.emplace_back(blob.substr(0, size));
        blob.remove_prefix(size);
    }
    return cells;
}

// The rows of a list as the table itself holds them ("+list": no index), in the
// stored order; nullopt when the table cannot be read through or a row does
// not decode.
std::optional<std::vector<Row>> TableRows(const fs::path& path, int list) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return std::nullopt;
    }
    sqlite3_stmt* statement = nullptr;
    std::vector<std::tuple<std::int64_t, std::int64_t, Row>> found;
    bool good = sqlite3_prepare_v2(db,
                                   "SELECT position, id, cells FROM list_rows "
                                   "WHERE +list = ?",
                                   -1, &statement, nullptr) == SQLITE_OK;
    if (good) {
        sqlite3_bind_int(statement, 1, list);
        int step = SQLITE_ROW;
        while (good && (step = sqlite3_step(statement)) == SQLITE_ROW) {
            const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, 2));
            const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, 2));
            std::optional<Row> cells = Cells(std::string_view(data == nullptr ? "" : data, size));
            good = cells.has_value();
            if (good) {
                found.emplace_back(sqlite3_column_int64(statement, 0),
                                   sqlite3_column_int64(statement, 1), std::move(*cells));
            }
        }
        good = good && step == SQLITE_DONE;
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    if (!good) {
        return std::nullopt;
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
    });
    std::vector<Row> rows;
    for (auto& entry : found) {
        rows.push_back(std::move(std::get<2>(entry)));
    }
    return rows;
}

void CheckListFile(const fs::path& file, const std::vector<Row>* written) {
    std::vector<Row> loaded;
    const bool ok = mofeng::app::LoadListFile(file, loaded);
    if (written != nullptr) {
        FUZZ_CHECK(ok && loaded == *written);
    }
    if (ok) {
        const std::optional<std::vector<Row>> table =
            TableRows(file, mofeng::app::kSessionMainList);
        FUZZ_CHECK(table.has_value() && *table == loaded);
    }
}

void CheckSession(std::string_view bytes) {
    const fs::path session = Folder() / "session.sqlite";
    WriteBytes(session, bytes);
    mofeng::app::SessionStore::Opened opened{};
    std::vector<Row> main;
    std::vector<Row> mining;
    {
        auto store = mofeng::app::SessionStore::OpenSession(session, opened);
        if (store == nullptr) {
            return;
        }
        main = store->LoadList(mofeng::app::kSessionMainList);
        mining = store->LoadList(mofeng::app::kSessionMiningList);
    }
    using Opened = mofeng::app::SessionStore::Opened;
    if (opened == Opened::BrokenMovedAside) {
        FUZZ_CHECK(ReadBytes(session.string() + ".broken") == bytes);
        FUZZ_CHECK(main.empty() && mining.empty());
        return;
    }
    FUZZ_CHECK(opened == Opened::Existing);
    const auto tableMain = TableRows(session, mofeng::app::kSessionMainList);
    const auto tableMining = TableRows(session, mofeng::app::kSessionMiningList);
    FUZZ_CHECK(tableMain.has_value() && *tableMain == main);
    FUZZ_CHECK(tableMining.has_value() && *tableMining == mining);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    RemoveAll();
    const fs::path file = Folder() / "list.mofeng";
    std::string bytes;
    if (data[0] % 2 == 0) {
        bytes.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
        WriteBytes(file, bytes);
        CheckListFile(file, nullptr);
    } else {
        FuzzedDataProvider input(data + 1, size - 1);
        std::vector<Row> rows(input.ConsumeIntegralInRange(0, 40));
        for (Row& row : rows) {
            row.resize(input.ConsumeIntegralInRange(0, 4));
            for (std::string& cell : row) {
                cell = input.ConsumeRandomLengthString(40);
            }
        }
        FUZZ_CHECK(mofeng::app::SaveListFile(file, rows));
        CheckListFile(file, &rows);
        bytes = ReadBytes(file);
        const int edits = input.ConsumeIntegralInRange(0, 4);
        for (int i = 0; i < edits && !bytes.empty(); ++i) {
            const auto at = input.ConsumeIntegralInRange<std::size_t>(0, bytes.size() - 1);
            bytes[at] = static_cast<char>(input.ConsumeIntegral<uint8_t>());
        }
        if (input.ConsumeBool() && !bytes.empty()) {
            bytes.resize(input.ConsumeIntegralInRange<std::size_t>(0, bytes.size() - 1));
        }
        WriteBytes(file, bytes);
        CheckListFile(file, nullptr);
    }
    CheckSession(bytes);
    return 0;
}
