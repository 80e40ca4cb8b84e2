#include "app/ExportFormats.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numeric>

#include "app/CellDisplayText.h"
#include "app/MarketFigures.h"
#include "app/SpreadsheetExport.h"
#include "columns/KeywordListSchema.h"
#include "runtime/CodePage.h"
#include "runtime/PathText.h"
#include "runtime/TextOps.h"
#include "runtime/platform/UniqueFile.h"

namespace mofeng::app {
namespace {

int ColumnsOf(runtime::Table& table, int columnCount) {
    const int all = table.ColumnCount();
    return columnCount < 0 ? all : std::min(all, columnCount);
}

std::vector<int> FirstColumns(runtime::Table& table, int columnCount) {
    std::vector<int> columns(static_cast<std::size_t>(ColumnsOf(table, columnCount)));
    std::iota(columns.begin(), columns.end(), 0);
    return columns;
}

bool IsMarketColumn(int c) {
    const columns::ColumnInfo* info = columns::InfoAt(c);
    return info != nullptr && info->kind == columns::ColumnKind::Market;
}

// A market cell as a workbook number: nullopt for a range or no figure.
struct MarketNumber {
    double value = 0;
    int percentDecimals = -1;  // >= 0: a percentage shown with that many decimals
};
std::optional<MarketNumber> MarketNumberOf(const std::string& text) {
    std::string_view figure(text);
    while (!figure.empty() && figure.front() == ' ') {
        figure.remove_prefix(1);
    }
    const bool signed_ = figure.size() > 1 && (figure.front() == '+' || figure.front() == '-');
    const double sign = signed_ && figure.front() == '-' ? -1 : 1;
    if (signed_) {
        figure.remove_prefix(1);
    }
    const std::optional<MarketValue> value = ParseMarketValue(figure);
    if (!value || value->IsRange()) {
        return std::nullopt;
    }
    MarketNumber number{sign * value->low, -1};
    if (value->percent) {
        number.value /= 100;
        const std::size_t point = figure.find('.');
        number.percentDecimals = 0;
        if (point != std::string_view::npos) {
            std::size_t end = point + 1;
            while (end < figure.size() && figure[end] >= '0' && figure[end] <= '9') {
                ++end;
            }
            number.percentDecimals = static_cast<int>(std::min<std::size_t>(end - point - 1, 6));
        }
    }
    return number;
}

void AppendCsvField(std::string& out, const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
        out += utf8;
        return;
    }
    out += '"';
    for (char c : utf8) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

void AppendCsvRecord(std::string& out, const std::vector<std::string>& gbkFields) {
    for (std::size_t i = 0; i < gbkFields.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        AppendCsvField(out, runtime::GbkToUtf8(gbkFields[i]));
    }
    out += "\r\n";
}

// Whether the schema says column c holds text, never a number.
bool IsTextColumn(int c) {
    const columns::ColumnInfo* info = columns::InfoAt(c);
    return info != nullptr && info->kind == columns::ColumnKind::Text;
}

// The number a cell's text stands for, when it is nothing but a number.
std::optional<double> NumberOf(const std::string& text) {
    if (text.empty() || text.size() > 64) {
        return std::nullopt;
    }
    const std::size_t digit = text[0] == '-' ? 1 : 0;
    if (digit >= text.size() || !std::isdigit(static_cast<unsigned char>(text[digit]))) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// Character widths of the sheet from pixel widths of the list.
double SheetWidth(int pixels) {
    return std::max(0.0, (pixels - 5) / 7.0);
}

class ScratchFile final {
public:
    ScratchFile() {
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        if (!error) {
            m_path = runtime::platform::CreateUniqueFile(folder, "mofeng-xlsx-");
        }
    }
    ~ScratchFile() {
        if (!m_path.empty()) {
            std::error_code error;
            std::filesystem::remove(m_path, error);
        }
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string Lower(std::string text) {
    for (char& c : text) {
        c = runtime::AsciiLower(c);
    }
    return text;
}

// An exported column the view gives no width (状态, which no view shows)
// gets this many pixels in a workbook.
constexpr int kUnshownColumnWidth = 60;

std::vector<int> WidthsFor(const std::vector<int>& columnWidths, int columnCount) {
    std::vector<int> widths = columnWidths;
    while (static_cast<int>(widths.size()) < columnCount) {
        widths.push_back(kUnshownColumnWidth);
    }
    return widths;
}

// Widths by storage index for the given columns: a column without a width of
// its own takes its initial width, or kUnshownColumnWidth when no view shows it.
std::vector<int> WidthsFor(const std::vector<int>& columnWidths, const std::vector<int>& columns) {
    std::vector<int> widths = columnWidths;
    for (int c : columns) {
        if (c >= static_cast<int>(widths.size())) {
            widths.resize(static_cast<std::size_t>(c) + 1, 0);
        }
        int& width = widths[static_cast<std::size_t>(c)];
        if (width <= 0) {
            const columns::ColumnInfo* info = columns::InfoAt(c);
            width = info != nullptr && info->initialWidth > 0 ? info->initialWidth
                                                              : kUnshownColumnWidth;
        }
    }
    return widths;
}

}  // namespace

ExportFormat ExportFormatOf(const std::filesystem::path& path) {
    const std::string extension = Lower(path.extension().string());
    if (extension == ".xlsx") {
        return ExportFormat::Xlsx;
    }
    if (extension == ".csv") {
        return ExportFormat::Csv;
    }
    return ExportFormat::Xls;
}

std::string BuildCsvDocument(runtime::Table& table, const std::vector<int>& rows, int columnCount) {
    return BuildCsvDocument(table, rows, FirstColumns(table, columnCount));
}

std::string BuildCsvDocument(runtime::Table& table, const std::vector<int>& rows,
                             const std::vector<int>& columns) {
    std::string out = "\xEF\xBB\xBF";
    std::vector<std::string> fields(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        fields[i] = table.ColumnTitle(columns[i]);
    }
    AppendCsvRecord(out, fields);
    for (int row : rows) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            fields[i] = CellDisplayText(columns[i], table.GetCell(row, columns[i]));
        }
        AppendCsvRecord(out, fields);
    }
    return out;
}

std::optional<std::string> BuildXlsxDocument(runtime::Table& table, const std::vector<int>& rows,
                                             const std::vector<int>& columnWidths,
                                             int columnCount) {
    return BuildXlsxDocument(table, rows, columnWidths, FirstColumns(table, columnCount));
}

std::optional<std::string> BuildXlsxDocument(runtime::Table& table, const std::vector<int>& rows,
                                             const std::vector<int>& columnWidths,
                                             const std::vector<int>& columns) {
    const ScratchFile scratch;
    if (scratch.Path().empty()) {
        return std::nullopt;
    }
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go out in order; memory stays flat
    lxw_workbook* workbook =
        workbook_new_opt(runtime::PathToUtf8(scratch.Path()).c_str(), &options);
    if (workbook == nullptr) {
        return std::nullopt;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    bool ok = sheet != nullptr;
    // Percent formats by their decimals, made on first use.
    std::vector<lxw_format*> percentFormats;
    const auto percentFormat = [&](int decimals) {
        if (percentFormats.empty()) {
            percentFormats.resize(7, nullptr);
        }
        lxw_format*& format = percentFormats[static_cast<std::size_t>(decimals)];
        if (format == nullptr) {
            format = workbook_add_format(workbook);
            const std::string code =
                decimals == 0 ? "0%"
                              : "0." + std::string(static_cast<std::size_t>(decimals), '0') + "%";
            format_set_num_format(format, code.c_str());
        }
        return format;
    };
    for (std::size_t i = 0; ok && i < columns.size(); ++i) {
        const auto column = static_cast<lxw_col_t>(i);
        ok = worksheet_set_column(sheet, column, column,
                                  SheetWidth(WidthOf(columnWidths, columns[i])),
                                  nullptr) == LXW_NO_ERROR &&
             worksheet_write_string(sheet, 0, column,
                                    runtime::GbkToUtf8(table.ColumnTitle(columns[i])).c_str(),
                                    nullptr) == LXW_NO_ERROR;
    }
    lxw_row_t sheetRow = 1;
    for (auto it = rows.begin(); ok && it != rows.end(); ++it, ++sheetRow) {
        for (std::size_t i = 0; ok && i < columns.size(); ++i) {
            const int c = columns[i];
            const std::string text(CellDisplayText(c, table.GetCell(*it, c)));
            const auto column = static_cast<lxw_col_t>(i);
            if (text.empty()) {
                continue;
            }
            if (IsMarketColumn(c)) {
                if (const std::optional<MarketNumber> market = MarketNumberOf(text)) {
                    lxw_format* format = market->percentDecimals >= 0
                                             ? percentFormat(market->percentDecimals)
                                             : nullptr;
                    ok = worksheet_write_number(sheet, sheetRow, column, market->value, format) ==
                         LXW_NO_ERROR;
                    continue;
                }
            }
            const std::optional<double> number =
                IsTextColumn(c) || IsMarketColumn(c) ? std::nullopt : NumberOf(text);
            ok = (number ? worksheet_write_number(sheet, sheetRow, column, *number, nullptr)
                         : worksheet_write_string(sheet, sheetRow, column,
                                                  runtime::GbkToUtf8(text).c_str(), nullptr)) ==
                 LXW_NO_ERROR;
        }
    }
    ok = workbook_close(workbook) == LXW_NO_ERROR && ok;
    if (!ok) {
        return std::nullopt;
    }
    std::ifstream in(scratch.Path(), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad() || bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

bool ExportRows(const std::filesystem::path& path, runtime::Table& table,
                const std::vector<int>& rows, const std::vector<int>& columnWidths,
                const std::vector<int>& columns, const runtime::DeviceWrapper& wrap) {
    if (!runtime::IsAbsentOrRegularFile(path)) {
        return false;
    }
    std::optional<std::string> document;
    switch (ExportFormatOf(path)) {
        case ExportFormat::Xlsx:
            document = BuildXlsxDocument(table, rows, WidthsFor(columnWidths, columns), columns);
            break;
        case ExportFormat::Csv:
            document = BuildCsvDocument(table, rows, columns);
            break;
        case ExportFormat::Xls: {
            // The document keeps the list's leading shown columns, whatever else is exported.
            int leading = 0;
            while (leading < static_cast<int>(columns.size()) &&
                   leading < columns::kShownColumnCount &&
                   columns[static_cast<std::size_t>(leading)] == leading) {
                ++leading;
            }
            document = BuildSpreadsheetDocument(table, rows, columnWidths, leading);
            break;
        }
    }
    return document && runtime::WriteFileAtomically(path, *document, wrap);
}

bool ExportRows(const std::filesystem::path& path, runtime::Table& table,
                const std::vector<int>& rows, const std::vector<int>& columnWidths, int columnCount,
                const runtime::DeviceWrapper& wrap) {
    if (!runtime::IsAbsentOrRegularFile(path)) {
        return false;
    }
    std::optional<std::string> document;
    switch (ExportFormatOf(path)) {
        case ExportFormat::Xlsx:
            document =
                BuildXlsxDocument(table, rows, WidthsFor(columnWidths, columnCount), columnCount);
            break;
        case ExportFormat::Csv:
            document = BuildCsvDocument(table, rows, columnCount);
            break;
        case ExportFormat::Xls:
            // The document keeps the list's shown columns, whatever else is exported.
            document = BuildSpreadsheetDocument(
                table, rows, columnWidths,
                columnCount < 0 ? columns::kShownColumnCount
                                : std::min(columnCount, columns::kShownColumnCount));
            break;
    }
    return document && runtime::WriteFileAtomically(path, *document, wrap);
}

}  // namespace mofeng::app
