#include "ui/common/UiNotifier.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <vector>

#include "ui/common/GbkQt.h"

namespace mofeng::ui {

// The non-modal boxes opened for other threads and not yet closed.
struct UiNotifier::OpenBoxes {
    std::vector<QPointer<QMessageBox>> boxes;

    void CloseAll() {
        auto open = std::move(boxes);
        boxes.clear();
        for (const QPointer<QMessageBox>& box : open) {
            if (box) {
                box->close();
            }
        }
    }
};

namespace {

QMessageBox::Icon IconOf(int flags) {
    switch (flags & 0xF0) {
        case 16:
            return QMessageBox::Critical;
        case 32:
            return QMessageBox::Question;
        case 48:
            return QMessageBox::Warning;
        case runtime::kMessageInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox* MakeBox(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    auto* box = new QMessageBox(icon, QString::fromUtf8("信息："), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

}  // namespace

QMessageBox* ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    QMessageBox* box = MakeBox(parent, text, icon);
    box->setWindowModality(Qt::NonModal);
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

UiNotifier::UiNotifier(QObject* uiThreadContext)
    : m_bridge(uiThreadContext), m_boxes(std::make_shared<OpenBoxes>()) {
    if (uiThreadContext) {
        QObject::connect(uiThreadContext, &QObject::destroyed,
                         [boxes = m_boxes] { boxes->CloseAll(); });
    }
}

UiNotifier::~UiNotifier() {
    Detach();
}

void UiNotifier::ShowMessage(const std::string& gbkText, int flags) {
    if (m_bridge.OnTargetThread()) {
        if (!m_bridge.Target()) {
            return;
        }
        // No owner window, as the messages belong to no window in particular.
        QMessageBox* box = MakeBox(nullptr, FromGbk(gbkText), IconOf(flags));
        box->setWindowModality(Qt::ApplicationModal);
        box->exec();
        return;
    }
    m_bridge.PostAndWait([boxes = m_boxes, gbkText, flags](
                             QObject&, const UiThreadBridge::Completion& completion) {
        QMessageBox* box = ShowMessageBox(nullptr, FromGbk(gbkText), IconOf(flags));
        // The connection keeps the completion until the box is gone, so a box
        // deleted any way at all releases the caller.
        QObject::connect(box, &QMessageBox::finished, box, [completion] { completion.Finish(); });
        std::erase_if(boxes->boxes, [](const QPointer<QMessageBox>& open) { return !open; });
        boxes->boxes.emplace_back(box);
    });
}

void UiNotifier::Detach() {
    m_bridge.Detach();
    m_boxes->CloseAll();
}

}  // namespace mofeng::ui
