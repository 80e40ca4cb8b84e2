#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/SqliteDatabase.h"

namespace mofeng::app {
namespace {

namespace fs = std::filesystem;

TEST(SqliteDatabase, ATransactionLeftUncommittedLeavesNothingBehind) {
    SqliteDatabase db = SqliteDatabase::InMemory();
    ASSERT_TRUE(db.Exec("CREATE TABLE t(v BLOB)"));
    {
        SqliteTransaction transaction(db);
        ASSERT_TRUE(transaction.Began());
        SqliteStatement insert = db.Prepare("INSERT INTO t VALUES(?)");
        ASSERT_TRUE(insert.BindBlob(1, "x").Run());
    }
    EXPECT_EQ(db.QueryInt("SELECT count(*) FROM t"), 0);
    {
        SqliteTransaction transaction(db);
        SqliteStatement insert = db.Prepare("INSERT INTO t VALUES(?)");
        // Reset between rows: the second binding must not see the first.
        ASSERT_TRUE(insert.BindBlob(1, std::string("a\0b", 3)).Run());
        ASSERT_TRUE(insert.Reset().BindBlob(1, "").Run());
        ASSERT_TRUE(transaction.Commit());
    }
    SqliteStatement rows = db.Prepare("SELECT v, v IS NULL FROM t ORDER BY rowid");
    ASSERT_TRUE(rows.Step());
    EXPECT_EQ(rows.Bytes(0), std::string_view("a\0b", 3));
    ASSERT_TRUE(rows.Step());
    EXPECT_EQ(rows.Bytes(0), "");
    EXPECT_EQ(rows.Int(1), 0);  // an empty blob, not NULL
    EXPECT_FALSE(rows.Step());
    EXPECT_TRUE(rows.Done());
    EXPECT_FALSE(db.Prepare("SELECT nonsense FROM"));
}

TEST(SqliteDatabase, ASerializedDatabaseOpensAsAFile) {
    SqliteDatabase db = SqliteDatabase::InMemory();
    ASSERT_TRUE(db.Exec("CREATE TABLE t(v); INSERT INTO t VALUES(42)"));
    const auto bytes = db.Serialize();
    ASSERT_TRUE(bytes);
    const fs::path file =
        fs::temp_directory_path() / ("mofeng-serialized-" + std::to_string(::getpid()));
    std::ofstream(file, std::ios::binary) << *bytes;
    {
        const SqliteDatabase back = SqliteDatabase::Open(file, SQLITE_OPEN_READONLY);
        EXPECT_EQ(back.QueryInt("SELECT v FROM t"), 42);
    }
    fs::remove(file);
    EXPECT_FALSE(SqliteDatabase::Open(file, SQLITE_OPEN_READONLY));
}

}  // namespace
}  // namespace mofeng::app
