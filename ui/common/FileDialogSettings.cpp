#include "ui/common/FileDialogSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace mofeng::ui {

FileDialogSettings::FileDialogSettings(QFileDialog::AcceptMode mode, const QString& objectName,
                                       QObject* parent)
    : QObject(parent), m_mode(mode) {
    setObjectName(objectName);
}

bool FileDialogSettings::Show(QWidget* parent) {
    return Show(parent, m_mode);
}

bool FileDialogSettings::Show(QWidget* parent, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, m_options.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen && m_options.fileMustExist
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    if (!m_options.nameFilter.isEmpty()) {
        dialog.setNameFilter(m_options.nameFilter);
    }
    dialog.setDefaultSuffix(m_options.defaultSuffix);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        const qsizetype star = f.lastIndexOf(QStringLiteral("*."));
        const qsizetype close = f.indexOf(QLatin1Char(')'), star);
        if (star >= 0 && close > star) {
            dialog.setDefaultSuffix(f.mid(star + 2, close - star - 2));
        }
    });
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !m_options.confirmOverwrite);
    if (!m_fileName.isEmpty()) {
        dialog.selectFile(m_fileName);
    } else if (!m_folderKey.isEmpty()) {
        const QString folder = QSettings().value(m_folderKey).toString();
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            dialog.setDirectory(folder);
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    m_fileName = dialog.selectedFiles().constFirst();
    QDir::setCurrent(QFileInfo(m_fileName).absolutePath());
    if (!m_folderKey.isEmpty()) {
        QSettings().setValue(m_folderKey, QFileInfo(m_fileName).absolutePath());
    }
    return true;
}

}  // namespace mofeng::ui
