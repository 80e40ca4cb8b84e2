#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ClipboardText.h"
#include "app/ListFile.h"
#include "app/ListRowsTable.h"
#include "app/SessionStore.h"
#include "app/SessionWriter.h"
#include "runtime/CodePage.h"
#include "runtime/MemoryTable.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;
using runtime::Row;

class SessionStoreTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / ("mofeng-session-" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::unique_ptr<SessionStore> Open(SessionStore::Opened expected) {
        SessionStore::Opened outcome{};
        auto store = SessionStore::OpenSession(Path(), outcome);
        EXPECT_EQ(outcome, expected);
        return store;
    }
    fs::path Path() const { return m_folder / "session.sqlite"; }

    fs::path m_folder;
};

SessionBatch Writes(int list, std::vector<std::pair<runtime::RowId, Row>> rows) {
    SessionBatch batch;
    long long position = 0;
    for (auto& [id, cells] : rows) {
        batch.rows.push_back({list, id, position++, std::move(cells)});
    }
    return batch;
}

TEST_F(SessionStoreTest, KeepsEveryCellOfEveryRowWhateverTheirCount) {
    const std::vector<Row> main = {
        {"1", "kw", "", "", "", "", "", "", "ok", "", "1,2,3,4,5,6,7"},  // hidden cells too
        {"2", std::string("a\0b", 3), ""},
        {}};
    {
        auto store = Open(SessionStore::Opened::Created);
        ASSERT_TRUE(store);
        SessionWriter writer(std::move(store));
        writer.Post(Writes(kSessionMainList, {{7, main[0]}, {8, main[1]}, {9, main[2]}}));
        writer.Post(Writes(kSessionMiningList, {{1, {"1", "m"}}}));
        // A later write of the same row replaces it; a clear drops only its list.
        SessionBatch update = Writes(kSessionMainList, {{8, main[1]}});
        update.rows[0].position = 1;
        writer.Post(std::move(update));
    }
    auto store = Open(SessionStore::Opened::Existing);
    EXPECT_EQ(store->LoadList(kSessionMainList), main);
    EXPECT_EQ(store->LoadList(kSessionMiningList), (std::vector<Row>{{"1", "m"}}));

    SessionBatch clear;
    clear.clearedLists = {kSessionMainList};
    ASSERT_TRUE(store->Apply(clear));
    EXPECT_TRUE(store->LoadList(kSessionMainList).empty());
    EXPECT_EQ(store->LoadList(kSessionMiningList).size(), 1u);
}

TEST_F(SessionStoreTest, ClearBetweenWritesInOneMergeKeepsOnlyTheLaterRows) {
    SessionWriter writer(Open(SessionStore::Opened::Created));
    writer.Post(Writes(kSessionMainList, {{1, {"old"}}}));
    SessionBatch clear;
    clear.clearedLists = {kSessionMainList};
    writer.Post(std::move(clear));
    writer.Post(Writes(kSessionMainList, {{2, {"new"}}}));
    writer.Flush();
    EXPECT_EQ(writer.Failures(), 0u);
    SessionStore::Opened outcome{};
    auto reader = SessionStore::OpenSession(Path(), outcome);
    EXPECT_EQ(reader->LoadList(kSessionMainList), (std::vector<Row>{{"new"}}));
}

TEST_F(SessionStoreTest, ABrokenDatabaseIsMovedAsideAndANewOneStarts) {
    const std::vector<std::string> broken = {
        "not a database at all",
        std::string("SQLite format 3\0", 16) + std::string(3000, '\xAB'),  // torn header
    };
    for (const std::string& bytes : broken) {
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        std::ofstream(Path(), std::ios::binary) << bytes;
        auto store = Open(SessionStore::Opened::BrokenMovedAside);
        ASSERT_TRUE(store);
        EXPECT_TRUE(store->LoadList(kSessionMainList).empty());
        std::ifstream aside(Path().string() + ".broken", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), bytes);
    }
}

TEST_F(SessionStoreTest, ListFilesRoundTripAndRefuseWhatIsNoListFile) {
    const std::vector<Row> rows = {{"1", runtime::Utf8ToGbk("连衣裙"), "5"}, {"2", "b"}};
    const fs::path file = m_folder / "mine.mofeng";
    std::ofstream(file) << "previous";
    ASSERT_TRUE(SaveListFile(file, rows));
    std::vector<Row> back;
    ASSERT_TRUE(LoadListFile(file, back));
    EXPECT_EQ(back, rows);

    std::ofstream(m_folder / "text.mofeng") << "just text";
    EXPECT_FALSE(LoadListFile(m_folder / "text.mofeng", back));
    EXPECT_FALSE(LoadListFile(m_folder / "absent.mofeng", back));
    ASSERT_EQ(::mkfifo((m_folder / "fifo.mofeng").c_str(), 0600), 0);
    EXPECT_FALSE(LoadListFile(m_folder / "fifo.mofeng", back));
    EXPECT_FALSE(SaveListFile(m_folder / "fifo.mofeng", rows));
    EXPECT_FALSE(SaveListFile(m_folder / "no" / "x.mofeng", rows));
}

// Runs SQL on a database behind the reader's back; the schema may be edited.
void Damage(const fs::path& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db, ("PRAGMA writable_schema=ON;" + sql).c_str(), nullptr, nullptr, nullptr),
        SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
}

int IndexRootPage(const fs::path& path) {
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    int page = 0;
    if (sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name = 'list_order'", -1,
                           &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        page = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return page;
}

// The ordering index loses sight of a row added while it was hidden from the
// schema: the table itself still holds all three rows.
void HideARowFromTheIndex(const fs::path& path) {
    const int page = IndexRootPage(path);
    ASSERT_GT(page, 0);
    Damage(path, "DELETE FROM sqlite_master WHERE name = 'list_order';");
    Damage(path, "INSERT INTO list_rows VALUES(0, 99, 99, x'010000007A');");
    Damage(path, "INSERT INTO sqlite_master VALUES('index', 'list_order', 'list_rows', " +
                     std::to_string(page) +
                     ", 'CREATE INDEX list_order ON list_rows(list, position)');");
}

TEST_F(SessionStoreTest, DamagedFilesAreNeverReadAsAPartOfTheirList) {
    struct Case {
        const char* name;
        void (*damage)(const fs::path&);
        bool readable;  // the rows are all still there
    };
    const Case cases[] = {
        {"a row the ordering index does not know", HideARowFromTheIndex, true},
        {"a row whose cells do not decode",
         [](const fs::path& path) {
             Damage(path, "UPDATE list_rows SET cells = x'0500' WHERE id = 2");
         },
         false},
    };
    const std::vector<Row> rows = {{"1", "a"}, {"2", "b"}};
    const std::vector<Row> whole = {{"1", "a"}, {"2", "b"}, {"z"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = m_folder / "list.mofeng";
        ASSERT_TRUE(SaveListFile(file, rows));
        c.damage(file);
        std::vector<Row> back;
        EXPECT_EQ(LoadListFile(file, back), c.readable);
        if (c.readable) {
            EXPECT_EQ(back, whole);
        }

        fs::remove(Path().string() + ".broken");
        fs::copy_file(file, Path(), fs::copy_options::overwrite_existing);
        auto store = Open(c.readable ? SessionStore::Opened::Existing
                                     : SessionStore::Opened::BrokenMovedAside);
        ASSERT_TRUE(store);
        EXPECT_EQ(store->LoadList(kSessionMainList), c.readable ? whole : std::vector<Row>{});
        EXPECT_EQ(fs::exists(Path().string() + ".broken"), !c.readable);
        if (!c.readable) {  // moved aside exactly as it was, never written to first
            std::ifstream original(file, std::ios::binary);
            std::ifstream aside(Path().string() + ".broken", std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}),
                      std::string(std::istreambuf_iterator<char>(original), {}));
        }
    }
}

TEST(CellBlob, DecodesWhatItEncodesAndRejectsTornBlobs) {
    const Row cells = {"", "a", std::string(300, 'x'), std::string("\0\xFF", 2)};
    Row back;
    ASSERT_TRUE(DecodeCells(EncodeCells(cells), back));
    EXPECT_EQ(back, cells);
    const std::string blob = EncodeCells(cells);
    EXPECT_FALSE(DecodeCells(blob.substr(0, blob.size() - 1), back));
    EXPECT_FALSE(DecodeCells("\x05\x00\x00", back));
}

TEST(Clipboard, CopiedRowsPasteBackAsTheSameKeywords) {
    runtime::MemoryTable table({{runtime::Utf8ToGbk("序号"), 55},
                                {runtime::Utf8ToGbk("关键词"), 160},
                                {"n", 100},
                                {"hidden", 0}});
    table.AppendRows({{"1", runtime::Utf8ToGbk("连衣裙"), "5", "h"},
                      {"2", "a\tb \"q\"", "", ""},
                      {"3", "line\nbreak", "7", ""}});
    const std::string copied = CopiedRowsText(table, {0, 1, 2}, 3);
    EXPECT_EQ(copied.substr(0, copied.find("\r\n")), runtime::Utf8ToGbk("序号\t关键词\tn"));
    EXPECT_EQ(copied.find("h\r\n"), std::string::npos);  // hidden cell not copied
    EXPECT_EQ(PastedKeywords(copied), (std::vector<std::string>{runtime::Utf8ToGbk("连衣裙"),
                                                                "a\tb \"q\"", "line\nbreak"}));

    struct Case {
        std::string text;
        std::vector<std::string> keywords;
    };
    const Case cases[] = {
        {"a\r\nb\n\nc", {"a", "b", "c"}},  // plain lines
        {"x\t1\ny\t2\n", {"x", "y"}},      // cells: first column
        {"say \"hi\"\n", {"say \"hi\""}},  // quotes in plain text stay
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PastedKeywords(c.text), c.keywords) << c.text;
    }
}

}  // namespace
}  // namespace mofeng::app
