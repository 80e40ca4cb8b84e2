#include "app/ExportFormats.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/CellDisplayText.h"
#include "app/SpreadsheetExport.h"
#include "columns/KeywordListSchema.h"
#include "runtime/CodePage.h"
#include "runtime/PathText.h"
#include "runtime/platform/UniqueFile.h"

namespace mofeng::app {
namespace {

int ColumnsOf(runtime::Table& table, int columnCount) {
    const int all = table.ColumnCount();
    return columnCount < 0 ? all : std::min(all, columnCount);
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
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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
    const int columns = ColumnsOf(table, columnCount);
    std::string out = "\xEF\xBB\xBF";
    std::vector<std::string> fields(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        fields[static_cast<std::size_t>(c)] = table.ColumnTitle(c);
    }
    AppendCsvRecord(out, fields);
    for (int row : rows) {
        for (int c = 0; c < columns; ++c) {
            fields[static_cast<std::size_t>(c)] = CellDisplayText(c, table.GetCell(row, c));
        }
        AppendCsvRecord(out, fields);
    }
    return out;
}

std::optional<std::string> BuildXlsxDocument(runtime::Table& table, const std::vector<int>& rows,
                                             const std::vector<int>& columnWidths,
                                             int columnCount) {
    const int columns = ColumnsOf(table, columnCount);
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
    for (int c = 0; ok && c < columns; ++c) {
        ok = worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                  SheetWidth(WidthOf(columnWidths, c)), nullptr) == LXW_NO_ERROR &&
             worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c),
                                    runtime::GbkToUtf8(table.ColumnTitle(c)).c_str(),
                                    nullptr) == LXW_NO_ERROR;
    }
    lxw_row_t sheetRow = 1;
    for (auto it = rows.begin(); ok && it != rows.end(); ++it, ++sheetRow) {
        for (int c = 0; ok && c < columns; ++c) {
            const std::string text(CellDisplayText(c, table.GetCell(*it, c)));
            const auto column = static_cast<lxw_col_t>(c);
            if (text.empty()) {
                continue;
            }
            const std::optional<double> number = IsTextColumn(c) ? std::nullopt : NumberOf(text);
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
