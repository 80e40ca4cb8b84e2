// Any bytes as an .xlsx workbook: the reader never fails in any other way
// than saying no, and it never hands over more rows than the workbook's
// parts hold row elements. The first input byte chooses the bytes as they
// are (the zip layer), or a workbook zipped here from four texts the rest
// of the input gives (the parts' XML).
#include <fuzzer/FuzzedDataProvider.h>
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/XlsxSheetReader.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzZip.h"

namespace {

// The parts are read only this far for counting; the reader refuses larger.
constexpr std::size_t kCountedBytes = std::size_t{64} << 20;

std::size_t RowNames(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("row"); at != std::string_view::npos;
         at = text.find("row", at + 1)) {
        ++count;
    }
    return count;
}

// Row names in every member of the archive, read independently of the reader.
std::size_t RowNamesInArchive(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (archive == nullptr) {
        zip_source_free(source);
        return 0;
    }
    std::size_t count = 0;
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (file == nullptr) {
            continue;
        }
        std::string text;
        char buffer[1 << 14];
        zip_int64_t n = 0;
        // A name split across two reads is still counted: the text is whole.
        while (text.size() < kCountedBytes && (n = zip_fread(file, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
        zip_fclose(file);
        count += RowNames(text);
    }
    zip_discard(archive);
    return count;
}

std::size_t ReadRows(std::string_view workbook) {
    std::size_t rows = 0;
    mofeng::app::ReadFirstXlsxSheet(workbook, [&](mofeng::app::SheetRow& row) {
        FUZZ_CHECK(row.size() <= 16384);
        ++rows;
        return true;
    });
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    if (data[0] % 2 == 0) {
        const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
        FUZZ_CHECK(ReadRows(bytes) <= RowNamesInArchive(bytes));
        return 0;
    }
    FuzzedDataProvider input(data + 1, size - 1);
    std::vector<std::pair<const char*, std::string>> parts;
    std::size_t rowNames = 0;
    for (const char* name : {"xl/workbook.xml", "xl/_rels/workbook.xml.rels",
                             "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml"}) {
        parts.emplace_back(name, input.ConsumeRandomLengthString());
        rowNames += RowNames(parts.back().second);
    }
    const std::string workbook = Zip(parts);
    FUZZ_CHECK(ReadRows(workbook) <= rowNames);
    return 0;
}
