#include "ui/common/FileDialogSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace mofeng::ui {

FileDialogSettings::FileDialogSettings(QFileDialog::AcceptMode mode, const QString& objectName,
                                       QObject* parent)
    : QObject(parent), m_mode(mode) {
    setObjectName(objectName);
}

bool FileDialogSettings::Show(QWidget* parent) {
    return Show(parent, m_mode);
}

QString FileDialogSettings::StartFolder() const {
    if (!m_fileName.isEmpty()) {
        const QFileInfo file(m_fileName);
        if (file.isAbsolute() && QFileInfo(file.absolutePath()).isDir()) {
            return file.absolutePath();
        }
    }
    bool rememberedGone = false;
    if (!m_folderKey.isEmpty()) {
        const QString folder = QSettings().value(m_folderKey).toString();
        if (!folder.isEmpty() && QFileInfo(folder).isAbsolute() && QFileInfo(folder).isDir()) {
            return folder;
        }
        rememberedGone = !folder.isEmpty();
    }
    // Nothing remembered yet: the run folder the program works in (its own
    // folder, or Documents/墨枫 where that is not writable). A remembered
    // folder that is gone falls back to the documents folder, then home.
    const QString current = QDir::currentPath();
    if (!rememberedGone && QFileInfo(current).isDir()) {
        return current;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString FileDialogSettings::FilterKey() const {
    return m_folderKey.isEmpty()
               ? QString()
               : m_folderKey.section(QLatin1Char('/'), 0, -2) + QStringLiteral("/filter");
}

bool FileDialogSettings::Show(QWidget* parent, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, m_options.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen && m_options.fileMustExist
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    if (!m_options.nameFilter.isEmpty()) {
        dialog.setNameFilter(m_options.nameFilter);
        // A description that names its pattern already ("Microsoft
        // Excel（*.xls）") is shown without Qt's copy of it.
        const QString first = m_options.nameFilter.section(QStringLiteral(";;"), 0, 0);
        dialog.setOption(
            QFileDialog::HideNameFilterDetails,
            first.left(first.lastIndexOf(QLatin1Char('('))).contains(QLatin1String("*.")));
    }
    dialog.setDefaultSuffix(m_options.defaultSuffix);
    auto suffixOf = [&dialog](const QString& f) {
        const qsizetype star = f.lastIndexOf(QStringLiteral("*."));
        const qsizetype close = f.indexOf(QLatin1Char(')'), star);
        if (star >= 0 && close > star) {
            dialog.setDefaultSuffix(f.mid(star + 2, close - star - 2));
        }
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, suffixOf);
    if (m_filter.isEmpty() && !FilterKey().isEmpty()) {
        m_filter = QSettings().value(FilterKey()).toString();
    }
    if (!m_filter.isEmpty() && dialog.nameFilters().contains(m_filter)) {
        dialog.selectNameFilter(m_filter);
        suffixOf(m_filter);
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !m_options.confirmOverwrite);
    // Only a folder that exists; a name chosen before is offered in it.
    dialog.setDirectory(StartFolder());
    if (!m_fileName.isEmpty()) {
        dialog.selectFile(QFileInfo(m_fileName).fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    m_fileName = dialog.selectedFiles().constFirst();
    // Shown without its details, the chosen type reads as its description.
    const QString chosen = dialog.selectedNameFilter();
    for (const QString& filter : dialog.nameFilters()) {
        if (filter == chosen || filter.startsWith(chosen)) {
            m_filter = filter;
            break;
        }
    }
    QDir::setCurrent(QFileInfo(m_fileName).absolutePath());
    if (!m_folderKey.isEmpty()) {
        QSettings().setValue(m_folderKey, QFileInfo(m_fileName).absolutePath());
        QSettings().setValue(FilterKey(), m_filter);
    }
    return true;
}

}  // namespace mofeng::ui
