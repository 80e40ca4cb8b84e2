#pragma once

#include <expat.h>
#include <zip.h>

#include <memory>
#include <string>
#include <string_view>

#include "runtime/CancelToken.h"

// Reading XML parts of a zip container held in memory (workbooks), with the
// limits that keep a crafted archive from unpacking without bound.
namespace mofeng::app {

constexpr std::size_t kReadChunk = 1 << 16;
// The parts read from one workbook unpack to at most this much together: no
// more than the largest file the import takes at all.
constexpr zip_uint64_t kMaxUnpackedBytes = zip_uint64_t{1} << 30;
// Past its first MiB a part may unpack to at most this many times its packed
// size. Spreadsheet writers' sheets pack about 10:1; a zip bomb about 1000:1.
constexpr zip_uint64_t kRatioFreeBytes = zip_uint64_t{1} << 20;
constexpr zip_uint64_t kMaxExpansion = 100;

// What the parts of one workbook may still unpack to.
struct UnpackBudget {
    zip_uint64_t remaining = kMaxUnpackedBytes;
};

inline bool WithinExpansion(zip_uint64_t unpacked, zip_uint64_t packed) {
    return unpacked <= kRatioFreeBytes || unpacked / kMaxExpansion <= packed;
}

inline std::string_view LocalName(const char* name) {
    std::string_view view = name;
    const std::size_t colon = view.rfind(':');
    return colon == std::string_view::npos ? view : view.substr(colon + 1);
}

inline const char* Attribute(const char** attributes, std::string_view local) {
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

    // The sizes the archive declares are checked before a byte is parsed, and
    // the bytes that really come out as they come.
    bool Parse(zip_t* archive, const std::string& name, UnpackBudget& budget,
               const runtime::CancelToken* cancel) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat(archive, name.c_str(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_COMP_SIZE)) {
            return false;
        }
        const zip_uint64_t packed = stat.comp_size;
        if ((stat.valid & ZIP_STAT_SIZE) &&
            (stat.size > budget.remaining || !WithinExpansion(stat.size, packed))) {
            return false;
        }
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
            if (static_cast<zip_uint64_t>(n) > budget.remaining ||
                !WithinExpansion(total, packed)) {
                return false;
            }
            budget.remaining -= static_cast<zip_uint64_t>(n);
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

using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;

// The archive of the bytes (which must outlive it); empty when they are no zip.
ZipArchive OpenZipInMemory(std::string_view bytes);

}  // namespace mofeng::app
