#include "fuzz/WorkbookChecks.h"

#include <algorithm>

#include "fuzz/FuzzCheck.h"

void CheckWorkbook(const mofeng::app::Workbook& workbook) {
    using namespace mofeng::app;
    for (const Sheet& sheet : workbook.sheets) {
        for (const SheetRow& row : sheet.rows) {
            FUZZ_CHECK(row.size() <= 16384);
        }
        const SheetHeader header = DetectSheetHeader(sheet);
        FUZZ_CHECK(header.row < kHeaderSearchRows);
        FUZZ_CHECK(header.keywordColumn >= 0);
        if (header.Found()) {
            const SheetRow& captions = sheet.rows[static_cast<std::size_t>(header.row)];
            FUZZ_CHECK(static_cast<std::size_t>(header.keywordColumn) < captions.size());
            FUZZ_CHECK(IsKeywordCaption(captions[static_cast<std::size_t>(header.keywordColumn)]));
        }
    }
    const std::vector<std::size_t> candidates = CandidateSheets(workbook);
    const std::optional<std::size_t> chosen = DefaultSheet(workbook);
    FUZZ_CHECK(chosen.has_value() == !candidates.empty());
    if (chosen) {
        FUZZ_CHECK(*chosen == candidates.front());
        FUZZ_CHECK(FindSheet(workbook, std::to_string(*chosen + 1)) == chosen);
    }
}
