// Any bytes as an HTML document with tables: the reader gives sheets that
// keep the workbook promises, never more sheets than the bytes hold "<table"
// nor more rows than "<t" starts. A table written here from plain cells of the
// input reads back to exactly those cells, whatever markup is between them.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/HtmlTableReader.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/WorkbookChecks.h"

namespace {

using mofeng::fuzz::Occurrences;

// A cell text as a browser keeps it: letters, digits and &<> only (escaped
// in the markup), so no blank is collapsed.
std::string PlainCell(FuzzedDataProvider& input) {
    std::string text = input.ConsumeRandomLengthString(12);
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) {
                                  return !std::isalnum(static_cast<unsigned char>(c)) && c != '&' &&
                                         c != '<' && c != '>';
                              }),
               text.end());
    return text;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    }
    return out;
}

void CheckWrittenTableReadsBack(FuzzedDataProvider& input) {
    std::vector<std::vector<std::string>> rows(input.ConsumeIntegralInRange(1, 6));
    const std::size_t columns = input.ConsumeIntegralInRange(1, 5);
    std::string html = "<html><head><meta charset=utf-8><style>td{}</style></head><body>";
    html += "<!-- <table><tr><td>not read</td></tr></table> --><table>";
    for (auto& row : rows) {
        html += input.ConsumeBool() ? "<tr>" : "<TR class=x>";
        for (std::size_t c = 0; c < columns; ++c) {
            row.push_back(PlainCell(input));
            html += input.ConsumeBool() ? "<td>" : "<td align=left><font>";
            html += " " + Escaped(row.back()) + " ";
            html += "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table></body></html>";
    const mofeng::app::Workbook workbook = mofeng::app::ReadHtmlTables(html);
    FUZZ_CHECK(workbook.sheets.size() == 1);
    FUZZ_CHECK(workbook.sheets[0].rows == rows);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const mofeng::app::Workbook workbook = mofeng::app::ReadHtmlTables(bytes);
    std::string lower(bytes);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    FUZZ_CHECK(workbook.sheets.size() <= Occurrences(lower, "<table"));
    std::size_t rows = 0;
    for (const auto& sheet : workbook.sheets) {
        rows += sheet.rows.size();
    }
    FUZZ_CHECK(rows <= Occurrences(lower, "<t"));
    CheckWorkbook(workbook);

    FuzzedDataProvider input(data, size);
    CheckWrittenTableReadsBack(input);
    return 0;
}
