// CSV and TSV records of any text: the reader always moves on, and writing
// the records back (every field quoted, or quoted only where it must be)
// then reading them again gives the same records. The import of the same
// bytes as a .csv file never holds more rows than there are records.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/CsvRecords.h"
#include "app/KeywordImport.h"
#include "fuzz/FuzzCheck.h"
#include "runtime/MemoryTable.h"

namespace {

using Records = std::vector<std::vector<std::string>>;

Records ReadAll(std::string_view text, char delimiter) {
    mofeng::app::CsvRecords reader(text, delimiter);
    Records records;
    std::vector<std::string> fields;
    std::size_t last = 0;
    while (reader.Next(fields)) {
        FUZZ_CHECK(reader.Position() > last || text.empty());
        FUZZ_CHECK(reader.Position() <= text.size());
        FUZZ_CHECK(!fields.empty());
        last = reader.Position();
        records.push_back(fields);
    }
    return records;
}

bool NeedsQuotes(const std::string& field, char delimiter) {
    return field.find_first_of(std::string{'"', '\r', '\n', delimiter}) != std::string::npos;
}

std::string Write(const Records& records, char delimiter, bool quoteAll) {
    std::string text;
    for (const auto& record : records) {
        for (std::size_t i = 0; i < record.size(); ++i) {
            if (i > 0) {
                text += delimiter;
            }
            if (!quoteAll && !NeedsQuotes(record[i], delimiter)) {
                text += record[i];
                continue;
            }
            text += '"';
            for (char c : record[i]) {
                text += c;
                if (c == '"') {
                    text += '"';
                }
            }
            text += '"';
        }
        text += "\r\n";
    }
    return text;
}

// A memory file reached through a link whose name ends in ".csv", so the
// import takes it as CSV.
struct CsvFile {
    int fd = memfd_create("fuzz_csv", 0);
    std::string link = "/tmp/fuzz_csv_" + std::to_string(getpid()) + ".csv";

    CsvFile() {
        unlink(link.c_str());
        FUZZ_CHECK(symlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), link.c_str()) == 0);
    }
    ~CsvFile() { unlink(link.c_str()); }
};

int ImportedRows(std::string_view bytes) {
    static CsvFile file;
    FUZZ_CHECK(ftruncate(file.fd, 0) == 0);
    FUZZ_CHECK(pwrite(file.fd, bytes.data(), bytes.size(), 0) ==
               static_cast<ssize_t>(bytes.size()));
    mofeng::runtime::MemoryTable table({{"keyword", 100}});
    const mofeng::app::ImportResult result =
        mofeng::app::ImportKeywordFile(file.link, table, 0, false);
    FUZZ_CHECK(result.opened);
    FUZZ_CHECK(result.rowsAdded == table.RowCount());
    return result.rowsAdded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const char delimiter = data[0] % 2 == 0 ? ',' : '\t';
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const Records records = ReadAll(text, delimiter);
    for (const bool quoteAll : {true, false}) {
        FUZZ_CHECK(ReadAll(Write(records, delimiter, quoteAll), delimiter) == records);
    }
    if (delimiter == ',') {
        // Converting the file's encoding keeps every ASCII byte, so the import
        // sees these records (less its caption and blank lines). A workbook
        // signature or the export's head makes it another kind of file.
        const auto format = mofeng::app::DetectImportFormat("a.csv", text);
        if (format == mofeng::app::ImportFormat::Csv && text.find('\0') == std::string_view::npos &&
            text.find('\x1a') == std::string_view::npos) {
            // The import drops a UTF-8 byte-order mark before it splits, so
            // a quote right behind the mark opens a quoted field there.
            std::string_view body = text;
            if (body.substr(0, 3) == "\xEF\xBB\xBF") {
                body.remove_prefix(3);
            }
            FUZZ_CHECK(ImportedRows(text) <= static_cast<int>(ReadAll(body, delimiter).size()));
        }
    }
    return 0;
}
