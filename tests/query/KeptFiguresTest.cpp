#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/KeywordListColumns.h"
#include "net/LocalHttpServer.h"
#include "query/IndexQueryRun.h"
#include "query/KeptFigures.h"
#include "query/QueryRunFixture.h"
#include "runtime/MemoryTable.h"

namespace mofeng::query {
namespace {

using namespace std::chrono_literals;

// Both endpoints answer while up; down, the trend endpoint answers 503 and
// the search page redirects keywords starting with "b" to a login page.
class FlakyEndpoints {
public:
    FlakyEndpoints()
        : m_server([this](httplib::Server& routes) {
              routes.Get("/trendindex.json", [this](const httplib::Request&,
                                                    httplib::Response& res) {
                  if (down) {
                      res.status = 503;
                      res.set_header("Retry-After", "0");
                  } else {
                      res.set_content(
                          R"({"data":[1,100,110,121,133,146,161,177,0],"lastdate":"2024-01-01"})",
                          "text/plain");
                  }
              });
              routes.Get("/search", [this](const httplib::Request& req, httplib::Response& res) {
                  if (down && req.get_param_value("q").starts_with("b")) {
                      res.set_redirect("/member/login.jhtml");
                  } else {
                      res.set_content(R"(g_page_config = {"totalHits":"5000"};)", "text/plain");
                  }
              });
              routes.Get("/member/login.jhtml",
                         [](const httplib::Request&, httplib::Response& res) {
                             res.set_content("please log in", "text/html");
                         });
          }) {}

    net::EndpointConfig Config() const {
        net::EndpointConfig config;
        config.searchBase = config.indexBase = config.suggestBase = m_server.Url("");
        return config;
    }

    std::atomic<bool> down{false};

private:
    net::test::LocalHttpServer m_server;
};

class KeptFigures : public QueryRunFixture {
protected:
    KeptFigures() : QueryRunFixture(StallAfter(300ms)) {}

    void SetUp() override {
        QueryRunFixture::SetUp();
        net::FetchSettings settings;
        settings.retries = 0;
        net::SetFetchSettings(settings);
    }

    QuerySummary Run(runtime::MemoryTable& table) {
        runtime::CancelToken cancel;
        return IndexQueryRun(m_endpoints.Config(), table, cancel);
    }
    static runtime::Row Figures(const runtime::Row& row) {
        return runtime::Row(row.begin() + kFirstMetricColumn, row.begin() + kOutcomeColumn);
    }

    FlakyEndpoints m_endpoints;
};

TEST_F(KeptFigures, AFailedRequeryKeepsTheFiguresARowHadAndEmptiesOnlyNewRows) {
    runtime::MemoryTable table(app::KeywordListStorageColumns());
    table.AppendRows({{"1", "a-dress"}, {"2", "b-skirt"}});
    ASSERT_EQ(Run(table).Count(RowOutcome::Normal), 2);
    const std::vector<runtime::Row> before = table.Rows();
    ASSERT_EQ(before[0][2], "5000");
    ASSERT_FALSE(before[0][kFiguresTimeColumn].empty());
    // A row that never had figures joins the list.
    table.AppendRows({{"3", "c-new"}});

    m_endpoints.down = true;
    const QuerySummary summary = Run(table);
    EXPECT_EQ(summary.Count(RowOutcome::Failed), 2);
    EXPECT_EQ(summary.Count(RowOutcome::Blocked), 1);
    EXPECT_EQ(summary.keptFigures, 2);
    const std::vector<runtime::Row> after = table.Rows();
    const std::string outcomes[] = {Text(RowOutcome::Failed), Text(RowOutcome::Blocked)};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(before[i][1]);
        EXPECT_EQ(Figures(after[i]), Figures(before[i]));
        EXPECT_EQ(after[i][kSeriesColumn], before[i][kSeriesColumn]);
        EXPECT_EQ(after[i][kFiguresTimeColumn], before[i][kFiguresTimeColumn]);
        EXPECT_EQ(after[i][kOutcomeColumn], outcomes[i]);
        EXPECT_FALSE(after[i][kReasonColumn].empty());
        EXPECT_TRUE(ShowsKeptFigures(after[i][kOutcomeColumn], after[i][kFiguresTimeColumn]));
    }
    // The new row shows only what this run found: the count, no trend.
    EXPECT_EQ(Figures(after[2]), (runtime::Row{"5000", "", "", "", "", ""}));
    EXPECT_EQ(after[2][kFiguresTimeColumn], "");
    EXPECT_FALSE(ShowsKeptFigures(after[2][kOutcomeColumn], after[2][kFiguresTimeColumn]));

    // Back up: every row is fresh again and no longer marked.
    m_endpoints.down = false;
    EXPECT_EQ(Run(table).keptFigures, 0);
    for (const runtime::Row& row : table.Rows()) {
        EXPECT_EQ(row[kOutcomeColumn], Text(RowOutcome::Normal));
        EXPECT_FALSE(ShowsKeptFigures(row[kOutcomeColumn], row[kFiguresTimeColumn]));
        EXPECT_GE(row[kFiguresTimeColumn], before[0][kFiguresTimeColumn]);
    }
}

TEST_F(KeptFigures, FiguresReadFromAFileAreKeptWithAnUnknownTime) {
    // As an exported list comes back: the eight columns, no stored cells.
    runtime::MemoryTable table(app::KeywordListStorageColumns());
    table.AppendRows({{"1", "a-dress", "4200", "90", "88", "12  --", "209.52", "0.1"}});
    m_endpoints.down = true;
    EXPECT_EQ(Run(table).keptFigures, 1);
    const runtime::Row row = table.Rows()[0];
    EXPECT_EQ(Figures(row), (runtime::Row{"4200", "90", "88", "12  --", "209.52", "0.1"}));
    EXPECT_EQ(row[kOutcomeColumn], Text(RowOutcome::Failed));
    EXPECT_EQ(row[kFiguresTimeColumn], kUnknownFiguresTime);
}

}  // namespace
}  // namespace mofeng::query
