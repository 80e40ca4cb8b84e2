#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Excel workbooks written byte by byte, for the reader to meet the files
// that seller tools save: a BIFF8 ("Workbook") or BIFF5 ("Book") stream in a
// compound file of 512-byte sectors, one LABEL record a text cell.
namespace mofeng::app::test {

struct BiffSheet {
    std::string name;
    std::vector<std::vector<std::string>> rows;
};

namespace biff_detail {

inline void Put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

inline void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

inline void PutRecord(std::string& stream, unsigned type, const std::string& body) {
    Put16(stream, type);
    Put16(stream, static_cast<unsigned>(body.size()));
    stream += body;
}

// UTF-8 of the Basic Multilingual Plane as UTF-16LE.
inline std::string Utf16Le(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
        unsigned point = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
        for (std::size_t k = 1; k < length; ++k) {
            point = (point << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        Put16(out, point);
        i += length;
    }
    return out;
}

// A BIFF8 text is UTF-16 (flag 1) counted in characters; a BIFF5 one is the
// code page's bytes, counted in bytes.
inline std::string Text(bool biff8, const std::string& text, bool shortCount) {
    std::string out;
    const std::string bytes = biff8 ? Utf16Le(text) : text;
    const unsigned count = static_cast<unsigned>(biff8 ? bytes.size() / 2 : bytes.size());
    if (shortCount) {
        out += static_cast<char>(count);
    } else {
        Put16(out, count);
    }
    if (biff8) {
        out += '\x01';
    }
    return out + bytes;
}

inline std::string Bof(bool biff8, unsigned kind) {
    std::string body;
    Put16(body, biff8 ? 0x0600 : 0x0500);
    Put16(body, kind);
    Put16(body, 0x0DBB);
    Put16(body, 0x07CC);
    if (biff8) {
        Put32(body, 0);
        Put32(body, 6);
    }
    return body;
}

inline std::string WorkbookStream(bool biff8, unsigned codePage,
                                  const std::vector<BiffSheet>& sheets) {
    std::string stream;
    PutRecord(stream, 0x0809, Bof(biff8, 0x0005));
    std::string codePageBody;
    Put16(codePageBody, codePage);
    PutRecord(stream, 0x0042, codePageBody);
    std::vector<std::size_t> offsetAt;
    for (const BiffSheet& sheet : sheets) {
        offsetAt.push_back(stream.size() + 4);
        PutRecord(stream, 0x0085, std::string(6, '\0') + Text(biff8, sheet.name, true));
    }
    PutRecord(stream, 0x000A, {});
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        std::string offset;
        Put32(offset, static_cast<std::uint32_t>(stream.size()));
        stream.replace(offsetAt[s], 4, offset);
        PutRecord(stream, 0x0809, Bof(biff8, 0x0010));
        std::size_t columns = 0;
        for (const auto& row : sheets[s].rows) {
            columns = std::max(columns, row.size());
        }
        std::string dimensions;
        const auto rows = static_cast<std::uint32_t>(sheets[s].rows.size());
        biff8 ? Put32(dimensions, 0) : Put16(dimensions, 0);
        biff8 ? Put32(dimensions, rows) : Put16(dimensions, rows);
        Put16(dimensions, 0);
        Put16(dimensions, static_cast<unsigned>(columns));
        Put16(dimensions, 0);
        PutRecord(stream, 0x0200, dimensions);
        for (std::size_t r = 0; r < sheets[s].rows.size(); ++r) {
            for (std::size_t c = 0; c < sheets[s].rows[r].size(); ++c) {
                if (sheets[s].rows[r][c].empty()) {
                    continue;
                }
                std::string label;
                Put16(label, static_cast<unsigned>(r));
                Put16(label, static_cast<unsigned>(c));
                Put16(label, 0x0F);
                PutRecord(stream, 0x0204, label + Text(biff8, sheets[s].rows[r][c], false));
            }
        }
        PutRecord(stream, 0x000A, {});
    }
    return stream;
}

inline std::string DirectoryEntry(std::string_view name, unsigned type, std::uint32_t child,
                                  std::uint32_t start, std::uint32_t size) {
    std::string entry = Utf16Le(name);
    entry.resize(64, '\0');
    Put16(entry, name.empty() ? 0 : static_cast<unsigned>(name.size() + 1) * 2);
    entry += static_cast<char>(type);
    entry += '\x01';  // black
    Put32(entry, 0xFFFFFFFF);
    Put32(entry, 0xFFFFFFFF);
    Put32(entry, child);
    entry.resize(116, '\0');
    Put32(entry, start);
    Put32(entry, size);
    Put32(entry, 0);
    return entry;
}

// Sector 0 the FAT, sector 1 the directory, the stream from sector 2 on. A
// stream under 4096 bytes would belong in the mini stream, which this
// writer does not make.
inline std::string CompoundFile(std::string_view streamName, std::string stream) {
    constexpr std::size_t kSector = 512;
    EXPECT_GE(stream.size(), 4096u) << "too little content for a stream of its own";
    const std::size_t sectors = (stream.size() + kSector - 1) / kSector;
    EXPECT_LE(sectors + 2, kSector / 4);
    std::string file("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    file.resize(24, '\0');
    Put16(file, 0x003E);
    Put16(file, 3);
    Put16(file, 0xFFFE);
    Put16(file, 9);
    Put16(file, 6);
    file.resize(44, '\0');
    Put32(file, 1);           // FAT sectors
    Put32(file, 1);           // first directory sector
    Put32(file, 0);           // transaction
    Put32(file, 4096);        // mini stream cutoff
    Put32(file, 0xFFFFFFFE);  // no mini FAT
    Put32(file, 0);
    Put32(file, 0xFFFFFFFE);  // no DIFAT sectors
    Put32(file, 0);
    Put32(file, 0);  // the FAT is sector 0
    file.resize(kSector, '\xFF');

    std::string fat;
    Put32(fat, 0xFFFFFFFD);
    Put32(fat, 0xFFFFFFFE);
    for (std::size_t s = 0; s < sectors; ++s) {
        Put32(fat, s + 1 < sectors ? static_cast<std::uint32_t>(s + 3) : 0xFFFFFFFE);
    }
    fat.resize(kSector, '\xFF');
    std::string directory =
        DirectoryEntry("Root Entry", 5, 1, 0xFFFFFFFE, 0) +
        DirectoryEntry(streamName, 2, 0xFFFFFFFF, 2, static_cast<std::uint32_t>(stream.size()));
    for (int free = 0; free < 2; ++free) {
        directory += DirectoryEntry("", 0, 0xFFFFFFFF, 0, 0);
    }
    stream.resize(sectors * kSector, '\0');
    return file + fat + directory + stream;
}

}  // namespace biff_detail

// An Excel 97-2003 workbook: texts in UTF-8, stored as UTF-16; codePage is
// what its CODEPAGE record declares.
inline std::string Biff8WorkbookFile(const std::vector<BiffSheet>& sheets,
                                     unsigned codePage = 1200) {
    using namespace biff_detail;
    return CompoundFile("Workbook", WorkbookStream(true, codePage, sheets));
}

// An Excel 5.0/95 workbook: texts given and stored in codePage's bytes.
inline std::string Biff5WorkbookFile(const std::vector<BiffSheet>& sheets, unsigned codePage) {
    using namespace biff_detail;
    return CompoundFile("Book", WorkbookStream(false, codePage, sheets));
}

}  // namespace mofeng::app::test
