#pragma once

#include <QFileDialog>
#include <QObject>
#include <QString>

namespace mofeng::ui {

// What a file dialog shows; the defaults are those of a plain open dialog.
struct FileDialogOptions {
    QString title;       // empty: the platform's own title
    QString nameFilter;  // Qt form, "Description (*.ext)", several joined by ";;"; empty: all files
    QString defaultSuffix;  // without the dot; appended to a name typed without one (with
                            // several filters: the chosen filter's extension)
    bool fileMustExist = true;
    bool confirmOverwrite = true;
};

// A file dialog placed on a window (通用对话框1, 通用对话框2): its settings and
// the file name chosen last, which is offered again the next time. The dialog
// itself exists only while it is shown. UI thread only.
class FileDialogSettings final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileDialogSettings)

public:
    FileDialogSettings(QFileDialog::AcceptMode mode, const QString& objectName, QObject* parent);

    FileDialogOptions& Options() { return m_options; }
    // Full path chosen by the last confirmed Show(); empty before that.
    const QString& FileName() const { return m_fileName; }
    // The name the next Show() offers, as if it had been chosen last.
    void OfferFileName(const QString& name) { m_fileName = name; }
    // Keeps the folder of each confirmed file under this QSettings key (and
    // the chosen type under the sibling key "filter"), and opens there while
    // no file name has been chosen or offered (a new run).
    void RememberFolder(const QString& settingsKey) { m_folderKey = settingsKey; }
    // Where the next Show() opens: the folder of the name chosen or offered
    // last, else the remembered folder, else the documents folder; only a
    // folder that exists.
    QString StartFolder() const;

    // Shows the modal dialog. True when the user confirmed a file: FileName()
    // then holds it and the process's current directory is its folder. False
    // when cancelled: FileName() keeps its previous value.
    bool Show(QWidget* parent);
    // The same as a dialog of the given kind (one settings object, two uses).
    bool Show(QWidget* parent, QFileDialog::AcceptMode mode);

private:
    QFileDialog::AcceptMode m_mode;
    FileDialogOptions m_options;
    QString FilterKey() const;

    QString m_fileName;
    QString m_filter;     // the type chosen last; empty before
    QString m_folderKey;  // empty: nothing remembered
};

}  // namespace mofeng::ui
