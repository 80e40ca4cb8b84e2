// Any bytes as an OpenDocument spreadsheet: the reader says no or gives
// sheets that keep the workbook promises, never more sheets than the content
// holds table elements. The first input byte chooses the bytes as they are
// (the zip layer) or a spreadsheet zipped here around content.xml from the
// rest of the input (its XML: repeats, paragraphs, comments).
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/OdsReader.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzZip.h"
#include "fuzz/WorkbookChecks.h"

namespace {

using mofeng::fuzz::Occurrences;

void Check(std::string_view bytes, std::size_t tables) {
    const std::optional<mofeng::app::Workbook> workbook = mofeng::app::ReadOdsWorkbook(bytes);
    if (!workbook) {
        return;
    }
    FUZZ_CHECK(workbook->sheets.size() <= tables);
    std::size_t cells = 0;
    for (const mofeng::app::Sheet& sheet : workbook->sheets) {
        for (const mofeng::app::SheetRow& row : sheet.rows) {
            cells += row.size();
        }
    }
    FUZZ_CHECK(cells <= mofeng::app::kMaxWorkbookCells);
    CheckWorkbook(*workbook);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) {
        Check(rest, SIZE_MAX);
        return 0;
    }
    const std::string content(rest);
    Check(Zip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
               {"content.xml", content}}),
          Occurrences(content, "table"));
    return 0;
}
