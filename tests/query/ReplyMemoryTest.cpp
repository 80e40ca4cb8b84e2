#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/KeywordListColumns.h"
#include "common/PeakMemory.h"
#include "net/HostPacer.h"
#include "net/LocalHttpServer.h"
#include "query/IndexQueryRun.h"
#include "query/QueryRow.h"
#include "regex/RegexObject.h"
#include "runtime/MemoryTable.h"

namespace mofeng::query {
namespace {

constexpr std::size_t kReplyBytes = std::size_t{48} << 20;

// A large reply made on the fly (the server holds none of it): head, then
// filler units, then tail, kReplyBytes in all.
struct LargeReply {
    std::string contentType;
    std::string head;
    std::string unit;
    std::string tail;

    char At(std::size_t offset) const {
        if (offset < head.size()) {
            return head[offset];
        }
        const std::size_t fillerEnd = kReplyBytes - tail.size();
        if (offset >= fillerEnd) {
            return tail[offset - fillerEnd];
        }
        return unit[(offset - head.size()) % unit.size()];
    }
};

void Serve(httplib::Server& server, const std::string& path, std::shared_ptr<LargeReply> reply) {
    server.Get(path, [reply](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(
            kReplyBytes, reply->contentType.c_str(),
            [reply](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                std::string piece(std::min<std::size_t>(length, 256 * 1024), '\0');
                for (std::size_t i = 0; i < piece.size(); ++i) {
                    piece[i] = reply->At(offset + i);
                }
                return sink.write(piece.data(), piece.size());
            });
    });
}

using mofeng::test::PeakGrowthBytes;

net::EndpointConfig At(const std::string& base) {
    net::EndpointConfig config;
    config.searchBase = config.indexBase = config.suggestBase = base;
    return config;
}

// "连衣裙 " in UTF-8 and in GBK.
const std::string kUtf8Filler = "\xE8\xBF\x9E\xE8\xA1\xA3\xE8\xA3\x99 ";
const std::string kGbkFiller = "\xC1\xAC\xD2\xC2\xC8\xB9 ";
const std::string kSeriesTail =
    R"("data":[1,100,110,121,133,146,161,177,0],"lastdate":"2024-01-01"})";

TEST(ReplyMemory, ALargeReplyIsHeldAtMostAboutTwiceOver) {
#ifdef MOFENG_UNDER_SANITIZER
    GTEST_SKIP() << "a sanitizer's shadow memory makes the peak meaningless";
#endif
    struct Case {
        const char* name;
        LargeReply trend;
        LargeReply search;
    };
    const std::vector<Case> cases = {
        {"UTF-8 text in both replies",
         {"application/json; charset=utf-8", "{\"note\":\"", kUtf8Filler, "\"," + kSeriesTail},
         {"text/html", "<html><head><meta charset=\"utf-8\"></head><body>", kUtf8Filler,
          R"(<script>g_page_config = {"totalHits":"5000"};</script></body></html>)"}},
        {"ASCII trend, GBK search page",
         {"application/json", "{\"note\":\"", "abcdefgh ", "\"," + kSeriesTail},
         {"text/html; charset=gbk", "<html><body>", kGbkFiller,
          R"(<script>g_page_config = {"totalHits":"5000"};</script></body></html>)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        net::test::LocalHttpServer server([&](httplib::Server& s) {
            Serve(s, "/trendindex.json", std::make_shared<LargeReply>(c.trend));
            Serve(s, "/search", std::make_shared<LargeReply>(c.search));
        });
        const net::EndpointConfig config = At(server.Url(""));
        const long grown = PeakGrowthBytes([&] {
            regex::RegexObject regex;
            const RowResult row = QueryRow(config, "dress", regex, nullptr);
            return row.outcome == RowOutcome::Normal && row.listingCount == "5000" &&
                   row.yesterday == "177";
        });
        ASSERT_GT(grown, 0) << "the row was not read as expected";
        std::printf("%s: peak growth %.2f x the reply\n", c.name,
                    static_cast<double>(grown) / kReplyBytes);
        EXPECT_LE(grown, static_cast<long>(kReplyBytes * 23 / 10));
    }
}

TEST(ReplyMemory, AKeywordTooLongToSendIsNotCopiedOnTheWay) {
#ifdef MOFENG_UNDER_SANITIZER
    GTEST_SKIP() << "a sanitizer's shadow memory makes the peak meaningless";
#endif
    constexpr std::size_t kKeywordBytes = std::size_t{64} << 20;
    net::ProcessPacer().Reset();
    runtime::MemoryTable table(app::KeywordListStorageColumns());
    table.AppendRows({{"1", std::string(kKeywordBytes, 'k')}});
    const long grown = PeakGrowthBytes([&] {
        runtime::CancelToken cancel;
        IndexQueryRun(At("http://127.0.0.1:9"), table, cancel);
        const std::string reason = table.GetCell(0, kReasonColumn);
        return table.GetCell(0, kOutcomeColumn) == RowOutcomeText(RowOutcome::Failed) &&
               reason.find("8192") != std::string::npos;
    });
    ASSERT_GT(grown, 0) << "the row did not fail for its length";
    std::printf("peak growth %.2f x the keyword\n", static_cast<double>(grown) / kKeywordBytes);
    // The run takes its keywords as values: one copy, nothing more.
    EXPECT_LE(grown, static_cast<long>(kKeywordBytes * 13 / 10));
}

}  // namespace
}  // namespace mofeng::query
