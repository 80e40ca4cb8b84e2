// The observation history at scale: 1,000 keywords observed on 1,000 days
// (1,000,000 observations) recorded through the session store, then what the
// seller waits for with that history: recording one more run of 1,000 rows,
// reading one keyword's days (what the chart's 历史 view opens with), and
// `mofeng-cli history --keyword`.
//   bench_history [FOLDER] [KEYWORDS] [DAYS]   (FOLDER "": a temporary one, removed)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/HistoryStore.h"
#include "app/HistoryTable.h"
#include "app/SessionStore.h"
#include "cli/HistoryCommand.h"
#include "runtime/CodePage.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Keyword(int i) {
    return "\xC1\xAC\xD2\xC2\xC8\xB9 " + std::to_string(i);  // 连衣裙 i
}

// Day n after 2024-01-01, YYYY-MM-DD.
std::string Day(int n) {
    int year = 2024;
    int month = 1;
    int day = 1 + n;
    const auto length = [](int y, int m) {
        static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        return kDays[m - 1] + (m == 2 && leap ? 1 : 0);
    };
    while (day > length(year, month)) {
        day -= length(year, month);
        if (++month == 13) {
            month = 1;
            ++year;
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

mofeng::app::Observation Observed(int keyword, int day) {
    mofeng::app::Observation o;
    o.keyword = Keyword(keyword);
    o.day = Day(day);
    const long long count = 100000 + keyword * 37 + day * 11;
    o.figures = {std::to_string(count), "5347", "4874", "473  \xA1\xFC", "97", "0.2"};
    o.outcome = "\xD5\xFD\xB3\xA3";  // 正常
    o.series = "4269,4529,4721,4878,5159,5220,5347";
    o.suggestWeight = "48213.5531";
    o.market = {{"\xCB\xD1\xCB\xF7\xC8\xCB\xC6\xF8", "1.2\xCD\xF2"}};  // 搜索人气 1.2万
    return o;
}

mofeng::app::SessionBatch Run(int keywords, int day) {
    mofeng::app::SessionBatch batch;
    for (int k = 0; k < keywords; ++k) {
        batch.observations.push_back(Observed(k, day));
    }
    return batch;
}

}  // namespace

int main(int argc, char** argv) {
    const bool kept = argc > 1 && *argv[1] != '\0';  // a folder of one's own is left in place
    const fs::path folder =
        kept ? fs::path(argv[1])
             : fs::temp_directory_path() / ("mofeng-bench-history-" + std::to_string(::getpid()));
    const int keywords = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int days = argc > 3 ? std::atoi(argv[3]) : 1000;
    fs::create_directories(folder);
    const fs::path path = folder / "session.sqlite";
    mofeng::app::SessionStore::Opened opened{};
    auto store = mofeng::app::SessionStore::OpenSession(path, opened);
    if (!store) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }

    // One run a day, each its own transaction as the session writer applies it.
    auto start = Clock::now();
    double firstDay = 0;
    for (int day = 0; day < days; ++day) {
        const auto dayStart = Clock::now();
        if (!store->Apply(Run(keywords, day))) {
            std::fprintf(stderr, "recording day %d failed\n", day);
            return 1;
        }
        if (day == 0) {
            firstDay = SecondsSince(dayStart);
        }
    }
    const double fill = SecondsSince(start);
    const double total = static_cast<double>(keywords) * days;
    std::printf("recorded %.0f observations in %.1f s (%.2f ms per 1,000 rows on average)\n", total,
                fill, fill / total * 1e6);
    std::printf("first run of %d rows into an empty history: %.2f ms per 1,000 rows\n", keywords,
                firstDay / keywords * 1e6);

    start = Clock::now();
    store->Apply(Run(keywords, days));
    const double next = SecondsSince(start);
    std::printf("one more run of %d rows into the full history: %.2f ms per 1,000 rows\n", keywords,
                next / keywords * 1e6);

    const std::string probe = Keyword(keywords / 2);
    start = Clock::now();
    const auto seen = mofeng::app::history::Read(store->Database(), {probe, std::nullopt});
    const auto table = mofeng::app::BuildHistoryTable(seen);
    std::printf("one keyword's %zu days read and laid out (the 历史 view's data): %.2f ms\n",
                table.rows.size(), SecondsSince(start) * 1e3);
    store.reset();

    std::ostringstream out;
    std::ostringstream err;
    start = Clock::now();
    const int code = mofeng::cli::RunHistoryCommand(
        {"--db", path.string(), "--keyword", mofeng::runtime::GbkToUtf8(probe)}, {out, err, false});
    std::printf("mofeng-cli history --keyword: %.2f ms (exit %d, %zu bytes)\n",
                SecondsSince(start) * 1e3, code, out.str().size());
    std::printf("database: %.1f MB\n", static_cast<double>(fs::file_size(path)) / 1e6);
    if (!kept) {
        fs::remove_all(folder);
    }
    return code;
}
