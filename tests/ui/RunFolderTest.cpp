#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <memory>

#include "EventLoopWait.h"
#include "runtime/CodePage.h"
#include "ui/app/GuiProgram.h"
#include "ui/main/MainWindow.h"
#include "ui/mining/MiningWindow.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;

namespace {

// Closes every message box and file dialog that opens while it lives: the
// boxes with OK (their texts are kept), the dialogs with Cancel (the folder
// they showed is kept).
class DialogAnswerer {
public:
    DialogAnswerer() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (!widget->isVisible()) {
                    continue;
                }
                if (auto* box = qobject_cast<QMessageBox*>(widget)) {
                    messages.append(box->text());
                    box->button(QMessageBox::Ok)->click();
                } else if (auto* dialog = qobject_cast<QFileDialog*>(widget)) {
                    dialogFolders.append(dialog->directory().absolutePath());
                    dialog->reject();
                }
            }
        });
        m_timer.start(2);
    }
    QStringList messages;
    QStringList dialogFolders;

private:
    QTimer m_timer;
};

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

}  // namespace

class RunFolderTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_startDir = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_startDir); }

    // The installed case: the program's folder is not writable, so the
    // current directory, the dialogs and the mining export all use the
    // documents folder's 墨枫 subfolder, and nothing lands beside the program.
    void ReadOnlyProgramFolderRunsInTheDocumentsFolder() {
        QTemporaryDir program;
        QTemporaryDir documents;
        QVERIFY(program.isValid() && documents.isValid());
        ui::AppContext context(net::EndpointConfig{},
                               ui::WebPages::FromEnvironment(program.path()));
        QString probed;
        const app::RunFolder folder = ui::EnterRunFolder(context, program.path(), documents.path(),
                                                         [&](const std::filesystem::path& dir) {
                                                             probed = FromPath(dir);
                                                             return false;
                                                         });
        const QString expected = documents.filePath(QStringLiteral("墨枫"));
        QCOMPARE(probed, program.path());
        QVERIFY(folder.inDocuments);
        QCOMPARE(FromPath(folder.path), expected);
        QVERIFY(QFileInfo(expected).isDir());
        QCOMPARE(QDir::currentPath(), expected);
        QCOMPARE(FromPath(context.RunDirectory()), expected);

        ui::MainWindow mainWindow(context);
        mainWindow.show();
        DialogAnswerer answerer;
        mainWindow.MenuAction(QStringLiteral("导入关键词"))->trigger();
        QCOMPARE(answerer.dialogFolders, QStringList{expected});

        mainWindow.MenuAction(QStringLiteral("自动淘词"))->trigger();
        ui::MiningWindow* mining = nullptr;
        QTRY_VERIFY((mining = FindMiningWindow()) != nullptr);
        mining->findChild<QLineEdit*>(QStringLiteral("编辑框_关键词"))
            ->setText(QStringLiteral("连衣裙"));
        mining->MiningTable().AppendRows(
            {{"1", runtime::Utf8ToGbk("碎花连衣裙")}, {"2", runtime::Utf8ToGbk("长裙")}});
        mining->MenuAction(QStringLiteral("导出关键词"))->trigger();
        QCOMPARE(answerer.messages, QStringList{QStringLiteral("保存成功")});

        QFile exported(QDir(expected).filePath(QStringLiteral("连衣裙_关键词.txt")));
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll().toStdString(), runtime::Utf8ToGbk("碎花连衣裙\r\n长裙\r\n"));
        QVERIFY(QDir(program.path()).isEmpty());
        mining->close();
    }

    // A writable program folder stays the run folder, as before, and the
    // documents folder is left alone.
    void WritableProgramFolderStaysTheRunFolder() {
        QTemporaryDir program;
        QTemporaryDir documents;
        ui::AppContext context(net::EndpointConfig{},
                               ui::WebPages::FromEnvironment(program.path()));
        const app::RunFolder folder =
            ui::EnterRunFolder(context, program.path(), documents.path(), app::IsFolderWritable);
        QVERIFY(!folder.inDocuments);
        QCOMPARE(QDir::currentPath(), program.path());
        QCOMPARE(FromPath(context.RunDirectory()), program.path());
        QVERIFY(QDir(documents.path()).isEmpty());
    }

private:
    static ui::MiningWindow* FindMiningWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<ui::MiningWindow*>(widget);
                window && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }

    QString m_startDir;
};

QTEST_MAIN(RunFolderTest)
#include "RunFolderTest.moc"
