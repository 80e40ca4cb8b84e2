#pragma once

#include <QMessageBox>

#include <memory>
#include <string>

#include "runtime/Notifier.h"
#include "ui/common/UiThreadBridge.h"

class QObject;
class QWidget;

namespace mofeng::ui {

// A box with the caption "信息：", the icon and an OK button, over parent
// (may be null); non-modal, shown at once, deleted when closed. UI thread.
QMessageBox* ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon);

// Message boxes with the caption "信息：" and an OK button; flags 64 give the
// information icon, 0 none.
class UiNotifier final : public runtime::Notifier {
public:
    // uiThreadContext: any object living on the UI thread (the window); when
    // it is deleted the notifier detaches.
    explicit UiNotifier(QObject* uiThreadContext);
    ~UiNotifier() override;
    UiNotifier(const UiNotifier&) = delete;
    UiNotifier& operator=(const UiNotifier&) = delete;

    // On the UI thread: an application-modal box, returns when it is closed.
    // From another thread: a non-modal box opened on the UI thread, so the
    // windows stay usable; the caller waits until the user closes it or the
    // notifier is detached. Detached: returns at once. Text is GBK.
    void ShowMessage(const std::string& gbkText, int flags) override;

    // UI thread: releases waiting callers and closes the boxes they opened.
    void Detach();

    struct OpenBoxes;

private:
    UiThreadBridge m_bridge;
    std::shared_ptr<OpenBoxes> m_boxes;  // UI thread only
};

}  // namespace mofeng::ui
