#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace mofeng::ui {

// GBK bytes -> Unicode for display. Bytes that are not GBK show as U+FFFD.
QString FromGbk(std::string_view gbk);

// Unicode -> GBK bytes. Characters GBK cannot hold become "?".
std::string ToGbk(const QString& text);

}  // namespace mofeng::ui
