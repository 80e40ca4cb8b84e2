#include "ui/common/WriteProblemText.h"

#include <QDir>
#include <QFileInfo>

namespace mofeng::ui {

QString WhyNotWritten(const QString& path) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists()) {
        return QStringLiteral("目录不存在");
    }
    if (!folder.isDir()) {
        return QStringLiteral("上级路径不是文件夹");
    }
    if (file.isDir()) {
        return QStringLiteral("这是一个文件夹");
    }
    if (file.exists() && !file.isFile()) {
        return QStringLiteral("不是普通文件");
    }
    if ((file.exists() && !file.isWritable()) || !folder.isWritable()) {
        return QStringLiteral("没有写入权限");
    }
    return QStringLiteral("写入失败（磁盘已满或文件被其他程序占用）");
}

QString NotSavedText(const QString& path) {
    return QStringLiteral("无法保存到 %1：%2")
        .arg(QDir::toNativeSeparators(path), WhyNotWritten(path));
}

}  // namespace mofeng::ui
