#include "app/SpreadsheetExport.h"

#include <algorithm>

#include "app/CellDisplayText.h"
#include "columns/KeywordListSchema.h"
#include "runtime/AtomicFile.h"
#include "runtime/NumberOps.h"
#include "runtime/TextOps.h"

namespace mofeng::app {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// "&", "<" and ">" are below 0x40 and so never GBK trail bytes: replacing
// them byte by byte cannot split a character.
void AppendEscaped(std::string& out, std::string_view text) {
    runtime::AppendHtmlEscaped(out, text);
}

// Integer part of a positive measure, as the markup writes it.
std::string Whole(double value) {
    return runtime::ToText(runtime::FloorToInt(value));
}

void AppendTableStart(std::string& out, const std::vector<int>& widths) {
    long long total = 0;
    for (int w : widths) {
        total += w;
    }
    const auto sum = static_cast<double>(total);
    out += "<table x:str border=0 cellpadding=0 cellspacing=0 width=";
    out += Whole(sum / 1.33);
    out += " style='border-collapse:   collapse;table-layout:fixed;width:";
    out += Whole(sum / 1.7689);
    out += "pt' u2:str>";
    out += kLineEnd;
    for (int w : widths) {
        out += " <col width=";
        out += runtime::ToText(w);
        out += " style='mso-width-source:userset;mso-width-alt:";
        out += Whole(w * 32.0);
        out += ";width:";
        out += Whole(w / 1.33);
        out += "pt'>";
        out += kLineEnd;
    }
}

void AppendHeaderRow(std::string& out, runtime::Table& table, const std::vector<int>& widths) {
    out += " <tr height=19 style='mso-height-source:userset;height:14.25pt'>";
    out += kLineEnd;
    for (std::size_t column = 0; column < widths.size(); ++column) {
        out += "  <td width=";
        out += runtime::ToText(widths[column]);
        out += " style='width:";
        out += Whole(widths[column] / 1.33);
        out += "pt'>";
        AppendEscaped(out, table.ColumnTitle(static_cast<int>(column)));
        out += "</td>";
        out += kLineEnd;
    }
    out += "</tr>";
    out += kLineEnd;
}

void AppendDataRow(std::string& out, runtime::Table& table, int row, int columnCount) {
    out += "<tr height=19 style='mso-height-source:userset;height:14.25pt'> ";
    out += kLineEnd;
    out += "  <td height=19 style='height:14.25pt'>";
    AppendEscaped(out, table.GetCell(row, 0));
    out += "</td>";
    out += kLineEnd;
    for (int column = 1; column < columnCount; ++column) {
        out += "<td>";
        AppendEscaped(out, CellDisplayText(column, table.GetCell(row, column)));
        out += "</td>";
        out += kLineEnd;
    }
    out += "</tr>";
    out += kLineEnd;
}

// True when every character of the GBK text is in GB2312 (ASCII, or a pair of
// bytes A1-F7, A1-FE), the charset the template declares.
bool IsGb2312(std::string_view gbk) {
    for (std::size_t i = 0; i < gbk.size(); ++i) {
        const auto lead = static_cast<unsigned char>(gbk[i]);
        if (lead < 0x80) {
            continue;
        }
        const auto trail = i + 1 < gbk.size() ? static_cast<unsigned char>(gbk[i + 1]) : 0;
        if (lead < 0xA1 || lead > 0xF7 || trail < 0xA1 || trail > 0xFE) {
            return false;
        }
        ++i;
    }
    return true;
}

// A strict reader takes GB2312 at its word and garbles every character
// beyond it, so a document holding one declares GBK instead.
void DeclareGbkWhenNeeded(std::string& document, std::size_t headSize) {
    constexpr std::string_view kDeclared = "charset=GB2312";
    if (IsGb2312(std::string_view(document).substr(headSize))) {
        return;
    }
    const std::size_t at = std::string_view(document).substr(0, headSize).find(kDeclared);
    if (at != std::string_view::npos) {
        document.replace(at, kDeclared.size(), "charset=GBK");
    }
}

}  // namespace

int WidthOf(const std::vector<int>& widths, int column) {
    return column >= 0 && column < static_cast<int>(widths.size())
               ? widths[static_cast<std::size_t>(column)]
               : 0;
}

std::string BuildSpreadsheetDocument(runtime::Table& table, const std::vector<int>& rows,
                                     const std::vector<int>& columnWidths, int shownColumns) {
    // Cells a list stores after its exported columns are never exported.
    const int columnCount =
        std::min(shownColumns < 0 ? columns::kShownColumnCount : shownColumns, table.ColumnCount());
    std::vector<int> widths;
    for (int column = 0; column < columnCount; ++column) {
        widths.push_back(WidthOf(columnWidths, column));
    }

    std::string out;
    const std::string_view head = XlsHeaderTemplate();
    // A rough per-row size avoids most regrowth on large exports.
    out.reserve(head.size() + 1024 +
                rows.size() * (110 + 20 * static_cast<std::size_t>(std::max(columnCount, 1))));
    out += head;
    AppendTableStart(out, widths);
    AppendHeaderRow(out, table, widths);
    for (int row : rows) {
        AppendDataRow(out, table, row, columnCount);
    }
    out += " <![endif]>";
    out += kLineEnd;
    out += "</table>";
    out += kLineEnd;
    out += "</body>";
    out += kLineEnd;
    out += "</html>";
    DeclareGbkWhenNeeded(out, head.size());
    return out;
}

bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
    return runtime::WriteFileAtomically(path, bytes);
}

}  // namespace mofeng::app
