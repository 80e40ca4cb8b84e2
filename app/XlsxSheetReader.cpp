#include "app/XlsxSheetReader.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "app/SheetCellText.h"
#include "app/ZipXmlPart.h"
#include "runtime/CodePage.h"

namespace mofeng::app {
namespace {

// Columns A..XFD: a cell past them is dropped, so no row is ever wider.
constexpr std::size_t kSheetColumns = 16384;
// Cell styles beyond this many are taken as showing numbers.
constexpr std::size_t kMaxStyles = 65536;

// 0-based column of a reference such as "AB12"; nullopt without letters.
std::optional<std::size_t> ColumnOfReference(const char* reference) {
    std::size_t column = 0;
    bool any = false;
    for (const char* p = reference; *p >= 'A' && *p <= 'Z'; ++p) {
        column = column * 26 + static_cast<std::size_t>(*p - 'A' + 1);
        any = true;
        if (column > kSheetColumns) {
            return std::nullopt;  // beyond the widest sheet
        }
    }
    if (!any) {
        return std::nullopt;
    }
    return column - 1;
}

// A sheet the workbook lists: its name and the part that holds it.
struct SheetPart {
    std::string name;
    std::string part;
};

struct WorkbookState {
    std::vector<std::pair<std::string, std::string>> sheets;  // name, relation id
    bool date1904 = false;
};

struct RelationsState {
    std::vector<std::pair<std::string, std::string>> targets;  // relation id, target
};

// What a cell style shows a number as.
constexpr char kShowsNumber = 0;
constexpr char kShowsDate = 1;
constexpr char kShowsPercent = 2;

// The workbook's cell styles that show dates or percentages, by style index.
struct StylesState {
    std::vector<int> dateFormats;     // custom format ids whose code shows a date
    std::vector<int> percentFormats;  // custom format ids whose code shows a percentage
    std::vector<char> dateStyles;     // kShowsNumber, kShowsDate or kShowsPercent
    bool inCellFormats = false;
};

// The workbook's shared strings end to end in one text: four bytes of index
// per string, never more than the "<si/>" that makes it, so the table stays
// within the part's own size.
class SharedStringTable final {
public:
    std::size_t Count() const { return m_ends.size(); }
    std::string_view At(std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : m_ends[index - 1];
        return std::string_view(m_text).substr(begin, m_ends[index] - begin);
    }
    // Drops what was appended since the last string ended.
    void BeginString() { m_text.resize(m_ends.empty() ? 0 : m_ends.back()); }
    void Append(const XML_Char* text, int length) {
        m_text.append(text, static_cast<std::size_t>(length));
    }
    void EndString() { m_ends.push_back(static_cast<std::uint32_t>(m_text.size())); }

private:
    std::string m_text;
    std::vector<std::uint32_t> m_ends;  // the parts unpack to at most 1 GiB
};

struct SharedStringsState {
    SharedStringTable strings;
    int phoneticDepth = 0;
    bool inText = false;
};

struct SheetState {
    const SharedStringTable* shared = nullptr;
    const std::function<bool(SheetRow&)>* onRow = nullptr;
    XML_Parser parser = nullptr;
    SheetRow row;
    bool inRow = false;
    std::size_t nextColumn = 0;
    std::size_t column = 0;
    std::string type;
    std::size_t style = 0;
    const std::vector<char>* dateStyles = nullptr;
    bool date1904 = false;
    std::string value;
    bool inValue = false;
    bool inInlineText = false;
    bool stopped = false;
};

void AppendText(std::string& out, const XML_Char* text, int length) {
    out.append(text, static_cast<std::size_t>(length));
}

std::string ResolveTarget(std::string target) {
    if (target.starts_with('/')) {
        return target.substr(1);
    }
    return "xl/" + target;
}

bool IsTrue(const char* value) {
    return value != nullptr && (std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0);
}

// The sheet parts in the order the workbook lists them.
std::vector<SheetPart> SheetParts(zip_t* archive, UnpackBudget& budget, bool& date1904,
                                  const runtime::CancelToken* cancel) {
    WorkbookState workbook;
    {
        XmlPart part(&workbook);
        XML_SetStartElementHandler(
            part.Parser(), [](void* data, const XML_Char* name, const XML_Char** attributes) {
                auto& state = *static_cast<WorkbookState*>(data);
                const std::string_view local = LocalName(name);
                if (local == "sheet") {
                    const char* sheetName = Attribute(attributes, "name");
                    const char* id = Attribute(attributes, "id");
                    state.sheets.emplace_back(sheetName != nullptr ? sheetName : "",
                                              id != nullptr ? id : "");
                } else if (local == "workbookPr") {
                    state.date1904 = IsTrue(Attribute(attributes, "date1904"));
                }
            });
        if (!part.Parse(archive, "xl/workbook.xml", budget, cancel)) {
            return {};
        }
    }
    date1904 = workbook.date1904;
    RelationsState relations;
    {
        XmlPart part(&relations);
        XML_SetStartElementHandler(
            part.Parser(), [](void* data, const XML_Char* name, const XML_Char** attributes) {
                auto& state = *static_cast<RelationsState*>(data);
                const char* id = Attribute(attributes, "Id");
                const char* target = Attribute(attributes, "Target");
                if (LocalName(name) == "Relationship" && id != nullptr && target != nullptr) {
                    state.targets.emplace_back(id, target);
                }
            });
        part.Parse(archive, "xl/_rels/workbook.xml.rels", budget, cancel);
    }
    std::vector<SheetPart> parts;
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
        const auto& [sheetName, id] = workbook.sheets[i];
        std::string target;
        for (const auto& [relationId, relationTarget] : relations.targets) {
            if (relationId == id) {
                target = ResolveTarget(relationTarget);
                break;
            }
        }
        if (target.empty()) {
            target = "xl/worksheets/sheet" + std::to_string(i + 1) + ".xml";
        }
        parts.push_back({sheetName, std::move(target)});
    }
    if (parts.empty()) {
        parts.push_back({{}, "xl/worksheets/sheet1.xml"});
    }
    return parts;
}

// Which cell styles show dates; empty when the workbook has no styles part.
std::vector<char> DateStyles(zip_t* archive, UnpackBudget& budget,
                             const runtime::CancelToken* cancel) {
    if (zip_name_locate(archive, "xl/styles.xml", 0) < 0) {
        return {};
    }
    StylesState state;
    XmlPart part(&state);
    XML_SetElementHandler(
        part.Parser(),
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            auto& s = *static_cast<StylesState*>(data);
            const std::string_view local = LocalName(name);
            if (local == "numFmt") {
                const char* id = Attribute(attributes, "numFmtId");
                const char* code = Attribute(attributes, "formatCode");
                if (id != nullptr && code != nullptr && IsDateFormatCode(code)) {
                    s.dateFormats.push_back(std::atoi(id));
                } else if (id != nullptr && code != nullptr && IsPercentFormatCode(code)) {
                    s.percentFormats.push_back(std::atoi(id));
                }
            } else if (local == "cellXfs") {
                s.inCellFormats = true;
            } else if (local == "xf" && s.inCellFormats && s.dateStyles.size() < kMaxStyles) {
                const char* id = Attribute(attributes, "numFmtId");
                const int format = id != nullptr ? std::atoi(id) : 0;
                const bool date = IsBuiltinDateFormat(format) ||
                                  std::find(s.dateFormats.begin(), s.dateFormats.end(), format) !=
                                      s.dateFormats.end();
                const bool percent = IsBuiltinPercentFormat(format) ||
                                     std::find(s.percentFormats.begin(), s.percentFormats.end(),
                                               format) != s.percentFormats.end();
                s.dateStyles.push_back(date ? kShowsDate : percent ? kShowsPercent : kShowsNumber);
            }
        },
        [](void* data, const XML_Char* name) {
            auto& s = *static_cast<StylesState*>(data);
            if (LocalName(name) == "cellXfs") {
                s.inCellFormats = false;
            }
        });
    if (!part.Parse(archive, "xl/styles.xml", budget, cancel)) {
        return {};
    }
    return std::move(state.dateStyles);
}

SharedStringTable SharedStrings(zip_t* archive, UnpackBudget& budget, bool& read,
                                const runtime::CancelToken* cancel) {
    SharedStringsState state;
    if (zip_name_locate(archive, "xl/sharedStrings.xml", 0) < 0) {
        return {};
    }
    XmlPart part(&state);
    XML_SetElementHandler(
        part.Parser(),
        [](void* data, const XML_Char* name, const XML_Char**) {
            auto& s = *static_cast<SharedStringsState*>(data);
            const std::string_view local = LocalName(name);
            if (local == "si") {
                s.strings.BeginString();
            } else if (local == "rPh") {
                ++s.phoneticDepth;
            } else if (local == "t" && s.phoneticDepth == 0) {
                s.inText = true;
            }
        },
        [](void* data, const XML_Char* name) {
            auto& s = *static_cast<SharedStringsState*>(data);
            const std::string_view local = LocalName(name);
            if (local == "si") {
                s.strings.EndString();
            } else if (local == "rPh") {
                --s.phoneticDepth;
            } else if (local == "t") {
                s.inText = false;
            }
        });
    XML_SetCharacterDataHandler(part.Parser(), [](void* data, const XML_Char* text, int length) {
        auto& s = *static_cast<SharedStringsState*>(data);
        if (s.inText) {
            s.strings.Append(text, length);
        }
    });
    read = part.Parse(archive, "xl/sharedStrings.xml", budget, cancel);
    return std::move(state.strings);
}

// A number cell as the sheet shows it: a date in a date style, a percentage
// in a percent style, else the number in its general form; a value that is
// no number stays as written.
std::string NumberText(const std::string& value, char shows, bool date1904) {
    double number = 0.0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size()) {
        return value;
    }
    if (shows == kShowsDate) {
        if (std::optional<std::string> text = SerialDateText(number, date1904)) {
            return std::move(*text);
        }
    }
    return shows == kShowsPercent ? PercentCellText(number) : NumberCellText(number);
}

void SheetStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& s = *static_cast<SheetState*>(data);
    const std::string_view local = LocalName(name);
    if (local == "row") {
        s.inRow = true;
        s.row.clear();
        s.nextColumn = 0;
    } else if (local == "c" && s.inRow) {
        const char* reference = Attribute(attributes, "r");
        const auto column = reference != nullptr ? ColumnOfReference(reference) : std::nullopt;
        s.column = column.value_or(s.nextColumn);
        s.nextColumn = s.column + 1;
        const char* type = Attribute(attributes, "t");
        s.type = type != nullptr ? type : "n";
        const char* style = Attribute(attributes, "s");
        s.style = style != nullptr ? std::strtoul(style, nullptr, 10) : 0;
        s.value.clear();
    } else if (local == "v") {
        s.inValue = true;
    } else if (local == "t" && s.type == "inlineStr") {
        s.inInlineText = true;
    }
}

void SheetEnd(void* data, const XML_Char* name) {
    auto& s = *static_cast<SheetState*>(data);
    const std::string_view local = LocalName(name);
    if (local == "v") {
        s.inValue = false;
    } else if (local == "t") {
        s.inInlineText = false;
    } else if (local == "c" && s.inRow) {
        std::string text = std::move(s.value);
        if (s.type == "s") {
            char* end = nullptr;
            const unsigned long index = std::strtoul(text.c_str(), &end, 10);
            text = (end != text.c_str() && index < s.shared->Count())
                       ? std::string(s.shared->At(index))
                       : std::string();
        } else if (s.type == "b") {
            text = text == "1" ? "TRUE" : "FALSE";
        } else if (s.type == "n" && !text.empty()) {
            text = NumberText(
                text, s.style < s.dateStyles->size() ? (*s.dateStyles)[s.style] : kShowsNumber,
                s.date1904);
        }
        if (s.column < kSheetColumns) {
            if (s.row.size() <= s.column) {
                s.row.resize(s.column + 1);
            }
            s.row[s.column] = std::move(text);
        }
        s.value.clear();
    } else if (local == "row" && s.inRow) {
        s.inRow = false;
        if (!(*s.onRow)(s.row)) {
            s.stopped = true;
            XML_StopParser(s.parser, XML_FALSE);
        }
    }
}

}  // namespace

bool ReadXlsxSheets(std::string_view workbook,
                    const std::function<bool(const std::string& name)>& onSheet,
                    const std::function<bool(SheetRow&)>& onRow,
                    const runtime::CancelToken* cancel) {
    const ZipArchive archive = OpenZipInMemory(workbook);
    if (!archive) {
        return false;
    }
    UnpackBudget budget;
    bool date1904 = false;
    const std::vector<SheetPart> sheets = SheetParts(archive.get(), budget, date1904, cancel);
    if (sheets.empty()) {
        return false;
    }
    bool sharedRead = true;
    const SharedStringTable shared = SharedStrings(archive.get(), budget, sharedRead, cancel);
    if (!sharedRead) {
        return false;
    }
    const std::vector<char> dateStyles = DateStyles(archive.get(), budget, cancel);
    for (const SheetPart& sheet : sheets) {
        if (!onSheet(sheet.name)) {
            return true;
        }
        SheetState state;
        state.shared = &shared;
        state.onRow = &onRow;
        state.dateStyles = &dateStyles;
        state.date1904 = date1904;
        XmlPart part(&state);
        state.parser = part.Parser();
        XML_SetElementHandler(part.Parser(), SheetStart, SheetEnd);
        XML_SetCharacterDataHandler(part.Parser(),
                                    [](void* data, const XML_Char* text, int length) {
                                        auto& s = *static_cast<SheetState*>(data);
                                        if (s.inValue || s.inInlineText) {
                                            AppendText(s.value, text, length);
                                        }
                                    });
        if (!part.Parse(archive.get(), sheet.part, budget, cancel)) {
            return state.stopped;
        }
    }
    return true;
}

bool ReadFirstXlsxSheet(std::string_view workbook, const std::function<bool(SheetRow&)>& onRow,
                        const runtime::CancelToken* cancel) {
    bool first = true;
    return ReadXlsxSheets(
        workbook, [&first](const std::string&) { return std::exchange(first, false); }, onRow,
        cancel);
}

std::optional<Workbook> ReadXlsxWorkbook(std::string_view bytes,
                                         const runtime::CancelToken* cancel) {
    Workbook workbook;
    const bool read = ReadXlsxSheets(
        bytes,
        [&workbook](const std::string& name) {
            workbook.sheets.push_back({runtime::Utf8ToGbk(name, runtime::kNoGbkFormMark), {}});
            return true;
        },
        [&workbook](SheetRow& row) {
            SheetRow& cells = workbook.sheets.back().rows.emplace_back();
            cells.reserve(row.size());
            for (const std::string& cell : row) {
                cells.push_back(runtime::Utf8ToGbk(cell, runtime::kNoGbkFormMark));
            }
            return true;
        },
        cancel);
    if (!read) {
        return std::nullopt;
    }
    return workbook;
}

}  // namespace mofeng::app
