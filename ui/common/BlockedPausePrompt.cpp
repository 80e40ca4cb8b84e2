#include "ui/common/BlockedPausePrompt.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace mofeng::ui {

bool PauseAnswer::Wait() {
    std::unique_lock lock(m_mutex);
    m_answered.wait(lock, [this] { return m_resume.has_value(); });
    return *std::exchange(m_resume, std::nullopt);
}

void PauseAnswer::Give(bool resume) {
    {
        std::lock_guard lock(m_mutex);
        if (m_resume) {
            return;
        }
        m_resume = resume;
    }
    m_answered.notify_all();
}

QMessageBox* AskResumeAfterBlocked(QWidget* parent, int streak, std::function<void(bool)> answered,
                                   OpenSettingsForPause openSettings) {
    const QString text = QStringLiteral(
                             "连续 %1 次被淘宝拦截：淘宝要求登录或安全验证。\n"
                             "可以先在浏览器中登录或完成验证，或在「设置」中指定 Cookie 文件"
                             "（或粘贴 Cookie）后继续；选择停止则结束这次运行。")
                             .arg(streak);
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("信息："), text,
                                QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("拦截暂停"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* resume = box->addButton(QStringLiteral("继续"), QMessageBox::AcceptRole);
    box->addButton(QStringLiteral("停止"), QMessageBox::RejectRole);
    QPushButton* settings = nullptr;
    if (openSettings) {
        settings = box->addButton(QStringLiteral("设置…"), QMessageBox::ActionRole);
        settings->setObjectName(QStringLiteral("pauseSettings"));
    }
    box->setDefaultButton(resume);
    QObject::connect(
        box, &QMessageBox::finished, box,
        [box, resume, settings, parent, streak, answered = std::move(answered),
         openSettings = std::move(openSettings)](int) {
            if (settings == nullptr || box->clickedButton() != settings) {
                answered(box->clickedButton() == resume);
                return;
            }
            const QPointer<QWidget> guard(parent);
            openSettings([guard, streak, answered, openSettings] {
                // Queued: the settings may be closing because parent goes.
                QTimer::singleShot(0, guard.data(), [guard, streak, answered, openSettings] {
                    if (guard) {
                        AskResumeAfterBlocked(guard.data(), streak, answered, openSettings);
                    }
                });
            });
        });
    box->open();
    return box;
}

}  // namespace mofeng::ui
