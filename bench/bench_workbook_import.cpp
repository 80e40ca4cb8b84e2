// Reading 1,000,000 keywords from workbooks, beside the plain keyword file of
// bench_app: an Excel 97-2003 .xls (BIFF8 holds at most 65,536 rows a sheet,
// so 16 sheets of 62,500 keywords under a 关键词 caption) and the same
// workbook as .ods. Both are written by LibreOffice from one flat
// OpenDocument file on the first run and kept in the temporary folder
// (mofeng-bench-workbooks-<rows>), since a conversion of this size takes
// minutes. MOFENG_BENCH_WORKBOOK_ROWS changes the keyword count (a quick
// look: 100000). Without soffice the benchmarks say why and skip.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/Biff8Reader.h"
#include "app/KeywordImport.h"
#include "app/KeywordListColumns.h"
#include "app/OdsReader.h"
#include "app/Workbook.h"
#include "runtime/MemoryTable.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSheets = 16;

int KeywordCount() {
    const char* rows = std::getenv("MOFENG_BENCH_WORKBOOK_ROWS");
    return rows != nullptr && std::atoi(rows) > 0 ? std::atoi(rows) : 1'000'000;
}

fs::path Folder() {
    return fs::temp_directory_path() / ("mofeng-bench-workbooks-" + std::to_string(KeywordCount()));
}

void WriteFlatWorkbook(const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
           R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
           R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2" )"
           R"(office:mimetype="application/vnd.oasis.opendocument.spreadsheet">)"
           "<office:body><office:spreadsheet>\n";
    const int perSheet = (KeywordCount() + kSheets - 1) / kSheets;
    for (int sheet = 0, written = 0; sheet < kSheets; ++sheet) {
        out << "<table:table table:name=\"S" << sheet + 1 << "\">"
            << "<table:table-row><table:table-cell office:value-type=\"string\">"
               "<text:p>关键词</text:p></table:table-cell></table:table-row>\n";
        for (int row = 0; row < perSheet && written < KeywordCount(); ++row, ++written) {
            out << "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>连衣裙 "
                << written << " 女夏季</text:p></table:table-cell></table:table-row>\n";
        }
        out << "</table:table>\n";
    }
    out << "</office:spreadsheet></office:body></office:document>\n";
}

// The workbook in the given format ("xls" or "ods"); empty when it cannot be made.
fs::path Workbook(const std::string& extension) {
    const fs::path folder = Folder();
    const fs::path target = folder / ("keywords." + extension);
    if (fs::exists(target) || ::access("/usr/bin/soffice", X_OK) != 0) {
        return fs::exists(target) ? target : fs::path();
    }
    fs::create_directories(folder);
    const fs::path flat = folder / "keywords.fods";
    if (!fs::exists(flat)) {
        WriteFlatWorkbook(flat);
    }
    const std::string filter = extension == "xls" ? "xls:MS Excel 97" : "ods";
    const std::string command =
        "/usr/bin/soffice --headless --norestore -env:UserInstallation=file://" +
        (folder / "profile").string() + " --convert-to '" + filter + "' --outdir '" +
        folder.string() + "' '" + flat.string() + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 && fs::exists(target) ? target : fs::path();
}

std::size_t KeywordCells(const mofeng::app::Workbook& workbook) {
    std::size_t keywords = 0;
    for (const auto& sheet : workbook.sheets) {
        const mofeng::app::SheetHeader header = mofeng::app::DetectSheetHeader(sheet);
        keywords += sheet.rows.size() - static_cast<std::size_t>(header.row + 1);
    }
    return keywords;
}

// Every sheet read and its keyword column found: the 1,000,000 keywords.
void BM_ReadBiff8Workbook(benchmark::State& state) {
    const fs::path path = Workbook("xls");
    if (path.empty()) {
        state.SkipWithError("no LibreOffice (soffice) to write the .xls");
        return;
    }
    for (auto _ : state) {
        mofeng::app::Biff8Problem problem{};
        const auto workbook = mofeng::app::ReadBiff8Workbook(path, problem);
        benchmark::DoNotOptimize(workbook ? KeywordCells(*workbook) : 0);
    }
    state.SetItemsProcessed(state.iterations() * KeywordCount());
}
BENCHMARK(BM_ReadBiff8Workbook)->Unit(benchmark::kMillisecond);

void BM_ReadOdsWorkbook(benchmark::State& state) {
    const fs::path path = Workbook("ods");
    if (path.empty()) {
        state.SkipWithError("no LibreOffice (soffice) to write the .ods");
        return;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    for (auto _ : state) {
        const auto workbook = mofeng::app::ReadOdsWorkbook(bytes);
        benchmark::DoNotOptimize(workbook ? KeywordCells(*workbook) : 0);
    }
    state.SetItemsProcessed(state.iterations() * KeywordCount());
}
BENCHMARK(BM_ReadOdsWorkbook)->Unit(benchmark::kMillisecond);

// The whole import of one sheet (1/16 of the keywords) into a list, as the
// seller's command does: the file read, every sheet parsed, one imported.
template <const char* Extension>
void BM_ImportOneSheet(benchmark::State& state) {
    const fs::path path = Workbook(Extension);
    if (path.empty()) {
        state.SkipWithError("no LibreOffice (soffice) to write the workbook");
        return;
    }
    int rows = 0;
    for (auto _ : state) {
        mofeng::runtime::MemoryTable table(mofeng::app::KeywordListStorageColumns());
        rows = mofeng::app::ImportKeywordFile(path, table, 1, true).rowsAdded;
    }
    state.counters["rows"] = rows;
}
constexpr char kXls[] = "xls";
constexpr char kOds[] = "ods";
BENCHMARK(BM_ImportOneSheet<kXls>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportOneSheet<kOds>)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
