#include "app/ImportFileKind.h"

#include <algorithm>
#include <array>
#include <utility>

#include "app/HtmlTableReader.h"
#include "app/KeywordFileText.h"
#include "app/OwnXlsDocument.h"
#include "app/ZipXmlPart.h"
#include "runtime/CodePage.h"
#include "runtime/TextOps.h"

namespace mofeng::app {
namespace {

constexpr std::string_view kZipSignature = "PK\x03\x04";
constexpr std::string_view kOle2Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
// How much of a file is looked at for bytes that no text holds.
constexpr std::size_t kBinaryProbeBytes = 4096;

// Texts of the refusals, UTF-8 here and GBK where they are shown.
constexpr std::string_view kEncryptedWorkbook = "加密的工作簿";
constexpr std::string_view kOtherZip = "ZIP 压缩包（不是工作簿）";
constexpr std::string_view kOtherOle2 = "Office 复合文档（不是工作簿）";
constexpr std::string_view kBinary = "二进制文件";

// Signatures long or odd enough that no keyword list starts with them.
constexpr std::array<std::pair<std::string_view, std::string_view>, 13> kSignatures = {{
    {"%PDF-", "PDF 文档"},
    {"\x89PNG", "PNG 图片"},
    {"\xFF\xD8\xFF", "JPEG 图片"},
    {"GIF87a", "GIF 图片"},
    {"GIF89a", "GIF 图片"},
    {"MZ\x90", "Windows 程序"},
    {"\x7F"
     "ELF",
     "ELF 程序"},
    {"\x1F\x8B", "gzip 压缩文件"},
    {"7z\xBC\xAF\x27\x1C", "7z 压缩包"},
    {"Rar!\x1A\x07", "RAR 压缩包"},
    {"SQLite format 3", "SQLite 数据库"},
    {"PK\x05\x06", "ZIP 压缩包（不是工作簿）"},
    {"{\\rtf", "RTF 文档"},
}};

ImportFileKind Refused(std::string_view whatUtf8) {
    return {ImportFormat::Unsupported, runtime::Utf8ToGbk(whatUtf8)};
}

std::string LowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) {
        c = runtime::AsciiLower(c);
    }
    return extension;
}

bool HasMember(zip_t* archive, const char* name) {
    return zip_name_locate(archive, name, 0) >= 0;
}

// The mimetype member of an OpenDocument file, "" without one.
std::string MimeType(zip_t* archive) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, "mimetype", 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        stat.size > 256) {
        return {};
    }
    zip_file_t* file = zip_fopen(archive, "mimetype", 0);
    if (file == nullptr) {
        return {};
    }
    std::string text(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t n = zip_fread(file, text.data(), text.size());
    zip_fclose(file);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

ImportFileKind ZipKind(std::string_view bytes) {
    const ZipArchive archive = OpenZipInMemory(bytes);
    if (!archive) {
        // Unreadable zips that call themselves workbooks are refused by the reader.
        return {ImportFormat::Xlsx, {}};
    }
    if (HasMember(archive.get(), "xl/workbook.xml")) {
        return {ImportFormat::Xlsx, {}};
    }
    const std::string mime = MimeType(archive.get());
    if (mime.find("opendocument.spreadsheet") != std::string::npos ||
        (mime.empty() && HasMember(archive.get(), "content.xml"))) {
        return {ImportFormat::Ods, {}};
    }
    if (HasMember(archive.get(), "word/document.xml") || mime.find(".text") != std::string::npos) {
        return Refused("文字处理文档（不是工作簿）");
    }
    return Refused(kOtherZip);
}

std::string Utf16Le(std::string_view ascii) {
    std::string out;
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

ImportFileKind Ole2Kind(std::string_view bytes) {
    // Directory entries name their streams in UTF-16: an encrypted workbook of
    // any kind keeps its content in "EncryptedPackage".
    if (bytes.find(Utf16Le("EncryptedPackage")) != std::string_view::npos) {
        return Refused(kEncryptedWorkbook);
    }
    if (bytes.find(Utf16Le("Workbook")) != std::string_view::npos ||
        bytes.find(Utf16Le("Book")) != std::string_view::npos) {
        return {ImportFormat::Biff8, {}};
    }
    return Refused(kOtherOle2);
}

// Control bytes that a text file never holds (NUL ends the data before this).
bool HoldsBinaryBytes(std::string_view bytes) {
    const std::string_view probe = bytes.substr(0, kBinaryProbeBytes);
    return std::any_of(probe.begin(), probe.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != '\v' &&
                b != 0x1A && b != 0x1B) ||
               b == 0x7F;
    });
}

}  // namespace

ImportFileKind DetectImportFileKind(const std::filesystem::path& path, std::string_view bytes) {
    if (bytes.starts_with(kZipSignature)) {
        return ZipKind(bytes);
    }
    if (bytes.starts_with(kOle2Signature)) {
        return Ole2Kind(bytes);
    }
    if (IsOwnXlsDocument(bytes)) {
        return {ImportFormat::OwnXls, {}};
    }
    for (const auto& [signature, what] : kSignatures) {
        if (bytes.starts_with(signature)) {
            return Refused(what);
        }
    }
    if (LooksLikeHtml(bytes)) {
        return {ImportFormat::Html, {}};
    }
    if (!LooksLikeUtf16(bytes) && HoldsBinaryBytes(bytes)) {
        return Refused(kBinary);
    }
    const std::string extension = LowerExtension(path);
    if (extension == ".csv") {
        return {ImportFormat::Csv, {}};
    }
    if (extension == ".tsv") {
        return {ImportFormat::Tsv, {}};
    }
    return {ImportFormat::PlainText, {}};
}

}  // namespace mofeng::app
