// Any bytes as an Excel 97-2003 workbook, read through FreeXL from a file as
// the import does: the reader says no or gives sheets that keep the
// workbook promises (WorkbookChecks); the import of the file never fails in
// another way than a problem it names.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/Biff8Reader.h"
#include "app/KeywordImport.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/WorkbookChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mofeng::app;
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("mofeng-fuzz-biff8-" + std::to_string(::getpid()) + ".xls");
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Biff8Problem problem = Biff8Problem::None;
    const std::optional<Workbook> workbook = ReadBiff8Workbook(path, problem);
    FUZZ_CHECK(workbook.has_value() == (problem == Biff8Problem::None));
    if (workbook) {
        for (const Sheet& sheet : workbook->sheets) {
            FUZZ_CHECK(sheet.rows.size() <= 65536);
        }
        CheckWorkbook(*workbook);
    }
    int rows = 0;
    const ImportResult result = ImportKeywordFile(
        path,
        [&rows](std::vector<mofeng::runtime::Row> batch) {
            rows += static_cast<int>(batch.size());
            return true;
        },
        1, true);
    FUZZ_CHECK(result.rowsAdded == rows);
    FUZZ_CHECK(result.unrepresentable <= rows);
    return 0;
}
