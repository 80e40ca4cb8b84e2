#include "app/XlsxSheetReader.h"

#include <expat.h>
#include <zip.h>

#include <cstring>
#include <memory>
#include <optional>

namespace mofeng::app {
namespace {

constexpr std::size_t kReadChunk = 1 << 16;
// No single part of a workbook this program reads is allowed to unpack larger.
constexpr zip_uint64_t kMaxPartBytes = zip_uint64_t{4} << 30;

std::string_view LocalName(const char* name) {
    std::string_view view = name;
    const std::size_t colon = view.rfind(':');
    return colon == std::string_view::npos ? view : view.substr(colon + 1);
}

const char* Attribute(const char** attributes, std::string_view local) {
    for (int i = 0; attributes[i] != nullptr; i += 2) {
        if (LocalName(attributes[i]) == local) {
            return attributes[i + 1];
        }
    }
    return nullptr;
}

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// Streams one member of the archive through an expat parser; false on a
// missing member, a read error, malformed XML, a cancel or handlers stopping.
class XmlPart final {
public:
    explicit XmlPart(void* userData) : m_parser(XML_ParserCreate("UTF-8")) {
        XML_SetUserData(m_parser, userData);
    }
    ~XmlPart() { XML_ParserFree(m_parser); }
    XmlPart(const XmlPart&) = delete;
    XmlPart& operator=(const XmlPart&) = delete;

    XML_Parser Parser() const { return m_parser; }

    bool Parse(zip_t* archive, const std::string& name, const runtime::CancelToken* cancel) {
        std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen(archive, name.c_str(), 0));
        if (!file) {
            return false;
        }
        char buffer[kReadChunk];
        zip_uint64_t total = 0;
        for (;;) {
            if (cancel != nullptr && cancel->IsCancelled()) {
                return false;
            }
            const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
            if (n < 0) {
                return false;
            }
            total += static_cast<zip_uint64_t>(n);
            if (total > kMaxPartBytes) {
                return false;
            }
            if (XML_Parse(m_parser, buffer, static_cast<int>(n), n == 0) != XML_STATUS_OK) {
                return false;
            }
            if (n == 0) {
                return true;
            }
        }
    }

private:
    XML_Parser m_parser;
};

// 0-based column of a reference such as "AB12"; nullopt without letters.
std::optional<std::size_t> ColumnOfReference(const char* reference) {
    std::size_t column = 0;
    bool any = false;
    for (const char* p = reference; *p >= 'A' && *p <= 'Z'; ++p) {
        column = column * 26 + static_cast<std::size_t>(*p - 'A' + 1);
        any = true;
        if (column > 16384) {
            return std::nullopt;  // beyond the widest sheet
        }
    }
    if (!any) {
        return std::nullopt;
    }
    return column - 1;
}

struct WorkbookState {
    std::string firstSheetId;
    bool seenSheet = false;
};

struct RelationsState {
    std::string wantedId;
    std::string target;
};

struct SharedStringsState {
    std::vector<std::string> strings;
    std::string current;
    int phoneticDepth = 0;
    bool inText = false;
};

struct SheetState {
    const std::vector<std::string>* shared = nullptr;
    const std::function<bool(SheetRow&)>* onRow = nullptr;
    XML_Parser parser = nullptr;
    SheetRow row;
    bool inRow = false;
    std::size_t nextColumn = 0;
    std::size_t column = 0;
    std::string type;
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

// The sheet part the workbook lists first.
std::string FirstSheetPart(zip_t* archive, const runtime::CancelToken* cancel) {
    WorkbookState workbook;
    {
        XmlPart part(&workbook);
        XML_SetStartElementHandler(
            part.Parser(), [](void* data, const XML_Char* name, const XML_Char** attributes) {
                auto& state = *static_cast<WorkbookState*>(data);
                if (!state.seenSheet && LocalName(name) == "sheet") {
                    state.seenSheet = true;
                    if (const char* id = Attribute(attributes, "id")) {
                        state.firstSheetId = id;
                    }
                }
            });
        if (!part.Parse(archive, "xl/workbook.xml", cancel)) {
            return {};
        }
    }
    RelationsState relations{workbook.firstSheetId, {}};
    if (!relations.wantedId.empty()) {
        XmlPart part(&relations);
        XML_SetStartElementHandler(
            part.Parser(), [](void* data, const XML_Char* name, const XML_Char** attributes) {
                auto& state = *static_cast<RelationsState*>(data);
                const char* id = Attribute(attributes, "Id");
                const char* target = Attribute(attributes, "Target");
                if (LocalName(name) == "Relationship" && id != nullptr && target != nullptr &&
                    state.wantedId == id) {
                    state.target = target;
                }
            });
        part.Parse(archive, "xl/_rels/workbook.xml.rels", cancel);
    }
    return relations.target.empty() ? std::string("xl/worksheets/sheet1.xml")
                                    : ResolveTarget(relations.target);
}

std::vector<std::string> SharedStrings(zip_t* archive, const runtime::CancelToken* cancel) {
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
                s.current.clear();
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
                s.strings.push_back(std::move(s.current));
                s.current.clear();
            } else if (local == "rPh") {
                --s.phoneticDepth;
            } else if (local == "t") {
                s.inText = false;
            }
        });
    XML_SetCharacterDataHandler(part.Parser(), [](void* data, const XML_Char* text, int length) {
        auto& s = *static_cast<SharedStringsState*>(data);
        if (s.inText) {
            AppendText(s.current, text, length);
        }
    });
    part.Parse(archive, "xl/sharedStrings.xml", cancel);
    return std::move(state.strings);
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
            text = (end != text.c_str() && index < s.shared->size()) ? (*s.shared)[index]
                                                                     : std::string();
        } else if (s.type == "b") {
            text = text == "1" ? "TRUE" : "FALSE";
        }
        if (s.row.size() <= s.column) {
            s.row.resize(s.column + 1);
        }
        s.row[s.column] = std::move(text);
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

bool ReadFirstXlsxSheet(std::string_view workbook, const std::function<bool(SheetRow&)>& onRow,
                        const runtime::CancelToken* cancel) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(workbook.data(), workbook.size(), 0, &error);
    if (source == nullptr) {
        zip_error_fini(&error);
        return false;
    }
    std::unique_ptr<zip_t, ZipCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return false;
    }
    const std::string sheetPart = FirstSheetPart(archive.get(), cancel);
    if (sheetPart.empty()) {
        return false;
    }
    const std::vector<std::string> shared = SharedStrings(archive.get(), cancel);
    SheetState state;
    state.shared = &shared;
    state.onRow = &onRow;
    XmlPart part(&state);
    state.parser = part.Parser();
    XML_SetElementHandler(part.Parser(), SheetStart, SheetEnd);
    XML_SetCharacterDataHandler(part.Parser(), [](void* data, const XML_Char* text, int length) {
        auto& s = *static_cast<SheetState*>(data);
        if (s.inValue || s.inInlineText) {
            AppendText(s.value, text, length);
        }
    });
    return part.Parse(archive.get(), sheetPart, cancel) || state.stopped;
}

}  // namespace mofeng::app
