#pragma once

#include <QString>

namespace mofeng::ui {

// Why a file could not be written to path, for the seller: "目录不存在",
// "这是一个文件夹", "没有写入权限", else a general reason. Looked at after the
// write failed; never writes.
QString WhyNotWritten(const QString& path);

// "无法保存到 <path>：<why>", the path in the system's own form.
QString NotSavedText(const QString& path);

}  // namespace mofeng::ui
