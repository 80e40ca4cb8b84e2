#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mofeng::app {

enum class ImportFormat {
    PlainText,
    Csv,
    Tsv,
    Xlsx,
    Ods,
    Biff8,   // Excel 97-2003 (an OLE2 compound file)
    OwnXls,  // the HTML document this program exports as .xls
    Html,
    Unsupported,
};

struct ImportFileKind {
    ImportFormat format = ImportFormat::PlainText;
    // For Unsupported: what the file is, as the refusal names it (GBK), e.g.
    // "PDF 文档", "ZIP 压缩包（不是工作簿）", "加密的工作簿".
    std::string what;
};

// By content first: a zip holding a workbook (.xlsx, .ods; an encrypted or
// any other zip is Unsupported), an OLE2 compound file (Biff8 unless it is an
// encrypted workbook or another Office document), the head of this program's
// export, an HTML document; other known binary signatures and bytes no text
// holds are Unsupported. Then by extension (.csv, .tsv, any case); anything
// else is a plain keyword file. bytes are the file as ReadImportFile gives it.
ImportFileKind DetectImportFileKind(const std::filesystem::path& path, std::string_view bytes);

}  // namespace mofeng::app
