#include "app/Biff8Reader.h"

#include <freexl.h>

#include <string>

#include "app/SheetCellText.h"
#include "runtime/CodePage.h"
#include "runtime/platform/NarrowFileName.h"

namespace mofeng::app {

bool Biff8ReaderAvailable() {
    return true;
}
namespace {

// FreeXL opens by a narrow name (fopen); a file that has none is not opened.
class FreeXlHandle final {
public:
    explicit FreeXlHandle(const std::optional<std::string>& narrowName)
        : m_status(narrowName ? freexl_open(narrowName->c_str(), &m_handle)
                              : FREEXL_FILE_NOT_FOUND) {}
    ~FreeXlHandle() {
        if (m_handle != nullptr) {
            freexl_close(m_handle);
        }
    }
    FreeXlHandle(const FreeXlHandle&) = delete;
    FreeXlHandle& operator=(const FreeXlHandle&) = delete;

    bool Opened() const { return m_status == FREEXL_OK && m_handle != nullptr; }
    const void* Get() const { return m_handle; }

private:
    const void* m_handle = nullptr;
    int m_status;
};

std::string CellText(const FreeXL_CellValue& cell) {
    switch (cell.type) {
        case FREEXL_CELL_INT:
            return std::to_string(cell.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return NumberCellText(cell.value.double_value);
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
            return runtime::Utf8ToGbk(IsoDateText(cell.value.text_value));
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_TIME:
            return cell.value.text_value != nullptr
                       ? runtime::Utf8ToGbk(cell.value.text_value, runtime::kNoGbkFormMark)
                       : std::string();
        default:
            return {};
    }
}

bool Cancelled(const runtime::CancelToken* cancel) {
    return cancel != nullptr && cancel->IsCancelled();
}

}  // namespace

std::optional<Workbook> ReadBiff8Workbook(const std::filesystem::path& path, Biff8Problem& problem,
                                          const runtime::CancelToken* cancel) {
    problem = Biff8Problem::Unreadable;
    const FreeXlHandle file(runtime::platform::NarrowFileName(path));
    unsigned int info = 0;
    if (!file.Opened()) {
        return std::nullopt;
    }
    if (freexl_get_info(file.Get(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED) {
        problem = Biff8Problem::Encrypted;
        return std::nullopt;
    }
    unsigned int sheetCount = 0;
    if (freexl_get_info(file.Get(), FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK) {
        return std::nullopt;
    }
    Workbook workbook;
    for (unsigned int index = 0; index < sheetCount && index <= 0xFFFF; ++index) {
        const auto sheetIndex = static_cast<unsigned short>(index);
        const char* name = nullptr;
        Sheet& sheet = workbook.sheets.emplace_back();
        if (freexl_get_worksheet_name(file.Get(), sheetIndex, &name) == FREEXL_OK &&
            name != nullptr) {
            sheet.name = runtime::Utf8ToGbk(name, runtime::kNoGbkFormMark);
        }
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(file.Get(), sheetIndex) != FREEXL_OK ||
            freexl_worksheet_dimensions(file.Get(), &rows, &columns) != FREEXL_OK) {
            continue;
        }
        sheet.rows.reserve(rows);
        for (unsigned int r = 0; r < rows; ++r) {
            if (Cancelled(cancel)) {
                problem = Biff8Problem::Cancelled;
                return std::nullopt;
            }
            SheetRow& row = sheet.rows.emplace_back();
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue cell{};
                if (freexl_get_cell_value(file.Get(), r, c, &cell) != FREEXL_OK) {
                    continue;
                }
                std::string text = CellText(cell);
                if (!text.empty()) {
                    row.resize(static_cast<std::size_t>(c) + 1);
                    row[c] = std::move(text);
                }
            }
        }
    }
    problem = Biff8Problem::None;
    return workbook;
}

}  // namespace mofeng::app
