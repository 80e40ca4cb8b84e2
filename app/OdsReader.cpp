#include "app/OdsReader.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/SheetCellText.h"
#include "app/ZipXmlPart.h"
#include "runtime/CodePage.h"

namespace mofeng::app {
namespace {

constexpr std::size_t kMaxColumns = 16384;
constexpr std::size_t kMaxRows = 1048576;

std::size_t RepeatOf(const char** attributes, std::string_view name) {
    const char* text = Attribute(attributes, name);
    if (text == nullptr) {
        return 1;
    }
    const unsigned long value = std::strtoul(text, nullptr, 10);
    return value == 0 ? 1 : std::min<std::size_t>(value, kMaxRows);
}

struct ContentState {
    Workbook workbook;
    XML_Parser parser = nullptr;
    bool tooLarge = false;
    std::size_t cells = 0;
    bool inTable = false;
    int annotationDepth = 0;
    // The row being read, and the empty rows seen since the last one with a cell.
    SheetRow row;
    std::size_t rowRepeat = 1;
    std::size_t pendingEmptyRows = 0;
    std::size_t column = 0;
    // The cell being read.
    bool inCell = false;
    std::size_t cellRepeat = 1;
    std::string valueText;  // from its attributes; empty: its paragraphs
    std::string text;
    int paragraphs = 0;
    bool inParagraph = false;

    Sheet& CurrentSheet() { return workbook.sheets.back(); }

    bool Spend(std::size_t count) {
        cells += count;
        if (cells > kMaxWorkbookCells) {
            tooLarge = true;
            XML_StopParser(parser, XML_FALSE);
            return false;
        }
        return true;
    }
};

std::string CellValueText(const char** attributes) {
    const char* type = Attribute(attributes, "value-type");
    if (type == nullptr) {
        return {};
    }
    const bool percent = std::strcmp(type, "percentage") == 0;
    if (std::strcmp(type, "float") == 0 || percent) {
        if (const char* value = Attribute(attributes, "value")) {
            double number = 0.0;
            const auto [end, error] = std::from_chars(value, value + std::strlen(value), number);
            if (error == std::errc() && *end == '\0') {
                return percent ? PercentCellText(number) : NumberCellText(number);
            }
        }
    } else if (std::strcmp(type, "date") == 0) {
        if (const char* value = Attribute(attributes, "date-value")) {
            return IsoDateText(value);
        }
    }
    return {};
}

void StartCell(ContentState& s, const char** attributes) {
    s.inCell = true;
    s.cellRepeat = RepeatOf(attributes, "number-columns-repeated");
    s.valueText = CellValueText(attributes);
    s.text.clear();
    s.paragraphs = 0;
}

void EndCell(ContentState& s) {
    s.inCell = false;
    std::string value = s.valueText.empty() ? std::move(s.text) : std::move(s.valueText);
    if (value.empty()) {
        s.column += s.cellRepeat;
        return;
    }
    const std::size_t end = std::min(s.column + s.cellRepeat, kMaxColumns);
    if (s.column >= end || !s.Spend(end - s.column)) {
        s.column += s.cellRepeat;
        return;
    }
    s.row.resize(end);
    const std::string gbk = runtime::Utf8ToGbk(value, runtime::kNoGbkFormMark);
    std::fill(s.row.begin() + static_cast<std::ptrdiff_t>(s.column), s.row.end(), gbk);
    s.column += s.cellRepeat;
}

void EndRow(ContentState& s) {
    if (s.row.empty()) {
        s.pendingEmptyRows += s.rowRepeat;
        return;
    }
    std::vector<SheetRow>& rows = s.CurrentSheet().rows;
    const std::size_t room = kMaxRows - std::min(kMaxRows, rows.size());
    const std::size_t empties = std::min(s.pendingEmptyRows, room);
    const std::size_t repeats = std::min(s.rowRepeat, room - empties);
    s.pendingEmptyRows = 0;
    if (!s.Spend(empties + repeats * s.row.size())) {
        return;
    }
    rows.resize(rows.size() + empties);
    for (std::size_t i = 1; i < repeats; ++i) {
        rows.push_back(s.row);
    }
    if (repeats > 0) {
        rows.push_back(std::move(s.row));
    }
}

void Start(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& s = *static_cast<ContentState*>(data);
    const std::string_view local = LocalName(name);
    if (s.annotationDepth > 0 || local == "annotation") {
        s.annotationDepth += local == "annotation" ? 1 : 0;
        return;
    }
    if (local == "table" && !s.inTable) {
        s.inTable = true;
        const char* sheetName = Attribute(attributes, "name");
        s.workbook.sheets.push_back(
            {runtime::Utf8ToGbk(sheetName != nullptr ? sheetName : "", runtime::kNoGbkFormMark),
             {}});
        s.pendingEmptyRows = 0;
    } else if (!s.inTable) {
        return;
    } else if (local == "table-row") {
        s.row.clear();
        s.column = 0;
        s.rowRepeat = RepeatOf(attributes, "number-rows-repeated");
    } else if (local == "table-cell" || local == "covered-table-cell") {
        StartCell(s, attributes);
    } else if (s.inCell && local == "p") {
        if (s.paragraphs++ > 0) {
            s.text += '\n';
        }
        s.inParagraph = true;
    } else if (s.inParagraph && local == "s") {
        s.text.append(std::min<std::size_t>(RepeatOf(attributes, "c"), 1024), ' ');
    } else if (s.inParagraph && local == "tab") {
        s.text += '\t';
    } else if (s.inParagraph && local == "line-break") {
        s.text += '\n';
    }
}

void End(void* data, const XML_Char* name) {
    auto& s = *static_cast<ContentState*>(data);
    const std::string_view local = LocalName(name);
    if (s.annotationDepth > 0) {
        s.annotationDepth -= local == "annotation" ? 1 : 0;
        return;
    }
    if (!s.inTable) {
        return;
    }
    if (local == "table") {
        s.inTable = false;
    } else if (local == "table-row") {
        EndRow(s);
    } else if (local == "table-cell" || local == "covered-table-cell") {
        EndCell(s);
    } else if (local == "p") {
        s.inParagraph = false;
    }
}

}  // namespace

std::optional<Workbook> ReadOdsWorkbook(std::string_view bytes,
                                        const runtime::CancelToken* cancel) {
    const ZipArchive archive = OpenZipInMemory(bytes);
    if (!archive) {
        return std::nullopt;
    }
    ContentState state;
    XmlPart part(&state);
    state.parser = part.Parser();
    XML_SetElementHandler(part.Parser(), Start, End);
    XML_SetCharacterDataHandler(part.Parser(), [](void* data, const XML_Char* text, int length) {
        auto& s = *static_cast<ContentState*>(data);
        if (s.inParagraph && s.annotationDepth == 0) {
            s.text.append(text, static_cast<std::size_t>(length));
        }
    });
    UnpackBudget budget;
    if (!part.Parse(archive.get(), "content.xml", budget, cancel) || state.tooLarge) {
        return std::nullopt;
    }
    return std::move(state.workbook);
}

}  // namespace mofeng::app
