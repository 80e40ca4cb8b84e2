#include "ui/common/GbkQt.h"

#include "runtime/CodePage.h"

#include <algorithm>

namespace mofeng::ui {

QString FromGbk(std::string_view gbk) {
    // Most cells are digits or ASCII: skip the converter for them, since the
    // view asks for every visible cell on every repaint.
    const bool ascii = std::all_of(gbk.begin(), gbk.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
    }
    const std::string utf8 = runtime::GbkToUtf8(gbk);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToGbk(const QString& text) {
    return runtime::Utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                   static_cast<size_t>(text.size())));
}

}  // namespace mofeng::ui
