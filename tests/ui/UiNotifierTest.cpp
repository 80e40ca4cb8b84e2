#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>

#include "ui/common/UiNotifier.h"

using mofeng::ui::UiNotifier;

namespace {

const std::string kGbkText = "\xCA\xFD\xBE\xDD\xB2\xE9\xD1\xAF\xCD\xEA\xB1\xCF";  // 数据查询完毕

QMessageBox* OpenBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

enum Ending { kClickOk, kDetach, kDeleteContext };

}  // namespace

class UiNotifierTest : public QObject {
    Q_OBJECT

private slots:
    void workerWaitsForNonModalBox_data();
    void workerWaitsForNonModalBox();
    void uiThreadBoxIsApplicationModal();
};

void UiNotifierTest::workerWaitsForNonModalBox_data() {
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("ending");
    QTest::newRow("information, OK") << 64 << int(QMessageBox::Information) << int(kClickOk);
    QTest::newRow("plain, OK") << 0 << int(QMessageBox::NoIcon) << int(kClickOk);
    QTest::newRow("detach") << 64 << int(QMessageBox::Information) << int(kDetach);
    QTest::newRow("context deleted") << 64 << int(QMessageBox::Information) << int(kDeleteContext);
}

void UiNotifierTest::workerWaitsForNonModalBox() {
    QFETCH(int, flags);
    QFETCH(int, icon);
    QFETCH(int, ending);
    auto context = std::make_unique<QObject>();
    UiNotifier notifier(context.get());
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        notifier.ShowMessage(kGbkText, flags);
        returned = true;
    });

    QTRY_VERIFY(OpenBox() != nullptr);
    QPointer<QMessageBox> box = OpenBox();
    QCOMPARE(box->windowTitle(), QString::fromUtf8("信息："));
    QCOMPARE(box->text(), QString::fromUtf8("数据查询完毕"));
    QCOMPARE(int(box->icon()), icon);
    QCOMPARE(box->windowModality(), Qt::NonModal);
    QVERIFY(!returned.load());  // still waiting while the box is up

    switch (ending) {
        case kClickOk:
            box->button(QMessageBox::Ok)->click();
            break;
        case kDetach:
            notifier.Detach();
            break;
        case kDeleteContext:
            context.reset();
            break;
    }
    QTRY_VERIFY(returned.load());
    QTRY_VERIFY(box.isNull());
    worker.join();

    if (ending != kClickOk) {
        notifier.ShowMessage(kGbkText, flags);  // detached: returns at once, shows nothing
        QVERIFY(OpenBox() == nullptr);
    }
}

void UiNotifierTest::uiThreadBoxIsApplicationModal() {
    QObject context;
    UiNotifier notifier(&context);
    Qt::WindowModality modality = Qt::NonModal;
    QTimer::singleShot(0, [&] {
        QMessageBox* box = OpenBox();
        if (box) {
            modality = box->windowModality();
            box->button(QMessageBox::Ok)->click();
        }
    });
    notifier.ShowMessage(kGbkText, 64);  // returns once OK is clicked
    QCOMPARE(modality, Qt::ApplicationModal);
}

QTEST_MAIN(UiNotifierTest)
#include "UiNotifierTest.moc"
