#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "app/EndpointCheck.h"
#include "ui/common/BackgroundTasks.h"
#include "ui/startup/SettingsTexts.h"

class QCheckBox;
class QLabel;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace mofeng::ui {

class AppContext;

// "设置": the run settings of the program (fetch policy, login cookies,
// proxy, endpoint addresses, jobs, the session switch). 确定 applies them
// through the one settings resolution and remembers them, the pasted cookie
// excepted; a malformed value is refused with a message in the dialog, the
// bad field focused, nothing applied. "检测接口" asks each endpoint once with
// the settings as entered (nothing applied) on a worker and shows the
// verdicts; closing the dialog cancels it. UI thread only.
class SettingsDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsDialog)

public:
    SettingsDialog(AppContext& context, QWidget* parent);

    // The texts as the fields hold them now.
    SettingsTexts Entered() const;
    // Why the last 确定 was refused; empty when it was not.
    QString ErrorText() const;

    void accept() override;

    // The verdicts of the last 检测接口, one line per endpoint; empty before.
    QString CheckText() const;

private:
    void CheckEndpoints();
    void ShowCheck(const std::vector<app::EndpointCheckResult>& results);
    void BrowseCookieFile();
    // The field the resolution's message is about, and the message shown.
    void ShowError(const std::string& error);

    AppContext& m_context;
    SettingsTexts m_shown;  // what the fields held when the dialog opened
    QLineEdit* m_retries = nullptr;
    QLineEdit* m_delayMs = nullptr;
    QLineEdit* m_connectTimeout = nullptr;
    QLineEdit* m_stallTimeout = nullptr;
    QLineEdit* m_proxy = nullptr;
    QLineEdit* m_caFile = nullptr;
    QLineEdit* m_cookieFile = nullptr;
    QPushButton* m_browse = nullptr;
    QLineEdit* m_cookie = nullptr;
    QLineEdit* m_searchUrl = nullptr;
    QLineEdit* m_indexUrl = nullptr;
    QLineEdit* m_suggestUrl = nullptr;
    QLineEdit* m_h5Url = nullptr;
    QComboBox* m_searchSource = nullptr;
    QSpinBox* m_jobs = nullptr;
    QCheckBox* m_restoreSession = nullptr;
    QCheckBox* m_suggestionTags = nullptr;
    QCheckBox* m_suggestWeight = nullptr;
    QLabel* m_error = nullptr;
    QPushButton* m_check = nullptr;
    QLabel* m_checkResult = nullptr;
    BackgroundTasks m_tasks;  // last member: joined before the widgets go
};

// Shows a new dialog window-modal over parent and returns at once; it
// deletes itself when closed, and closed (if given) runs then, however it
// was closed. UI thread.
SettingsDialog* OpenSettingsDialog(AppContext& context, QWidget* parent,
                                   std::function<void()> closed = {});

}  // namespace mofeng::ui
