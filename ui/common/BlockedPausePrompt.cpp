#include "ui/common/BlockedPausePrompt.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

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

QMessageBox* AskResumeAfterBlocked(QWidget* parent, int streak,
                                   std::function<void(bool)> answered) {
    const QString text = QStringLiteral(
                             "连续 %1 行被淘宝拦截：淘宝要求登录或安全验证。\n"
                             "可以先在浏览器中登录或完成验证，或在“设置”中填写 Cookie，"
                             "然后选择继续；选择停止则其余的行标为未查询。")
                             .arg(streak);
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("信息："), text,
                                QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("拦截暂停"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* resume = box->addButton(QStringLiteral("继续"), QMessageBox::AcceptRole);
    box->addButton(QStringLiteral("停止"), QMessageBox::RejectRole);
    box->setDefaultButton(resume);
    QObject::connect(box, &QMessageBox::finished, box,
                     [box, resume, answered = std::move(answered)](int) {
                         answered(box->clickedButton() == resume);
                     });
    box->open();
    return box;
}

}  // namespace mofeng::ui
