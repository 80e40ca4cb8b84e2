#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "query/RowOutcome.h"
#include "runtime/CodePage.h"
#include "ui/GuiFixture.h"
#include "ui/common/KeywordListModel.h"
#include "ui/main/MainWindow.h"
#include "ui/startup/AppContext.h"

using namespace mofeng;

namespace {

QString WriteFile(const QTemporaryDir& dir, const char* name, const std::string& bytes) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size())) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

struct Fixture {
    Fixture() : context({}, {}), window(context) {
        window.show();
        test::ShowListTab(window);
    }
    ui::AppContext context;
    ui::MainWindow window;
};

}  // namespace

class SheetImportWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void keywordsWithoutGbkFormAreCountedInTheStatusLine() {
        QTemporaryDir dir;
        Fixture f;
        f.window.ImportFile(WriteFile(dir, "k.txt", "Nike™运动鞋\n连衣裙\n"));
        QTRY_COMPARE(f.window.Tasks().RunningCount(), 0);
        QTRY_COMPARE(f.window.StatusText(),
                     QStringLiteral("已导入 2 个关键词，其中 1 个含 GBK 无法表示的字符，未查询"));
        const auto& data = f.window.Model().Data();
        QCOMPARE(runtime::GbkToUtf8(data.Cell(0, 1)), std::string("Nike〓运动鞋"));
        QCOMPARE(data.Cell(0, query::kOutcomeColumn),
                 std::string(query::RowOutcomeText(query::RowOutcome::NotQueried)));
    }

    void otherFilesAreRefusedWithAMessage() {
        QTemporaryDir dir;
        Fixture f;
        test::MessageAnswerer answerer;
        f.window.ImportFile(WriteFile(dir, "k.xls", "%PDF-1.4\n"));
        QTRY_COMPARE(answerer.shown, QStringList{QStringLiteral("不支持的文件格式：PDF 文档")});
        f.window.ImportFile(WriteFile(dir, "k.html", "<table><tr><td></td></tr></table>"));
        QTRY_COMPARE(answerer.shown.size(), 2);
        QCOMPARE(answerer.shown.back(), QStringLiteral("未找到关键词"));
        QCOMPARE(f.window.Model().Data().RowCount(), 0);
    }

    void theSellerPicksOneOfSeveralKeywordSheets() {
        QTemporaryDir dir;
        Fixture f;
        const QString path = WriteFile(
            dir, "k.html",
            runtime::Utf8ToGbk("<html><meta charset=gbk><table><tr><td>关键词</td></tr>"
                               "<tr><td>第一</td></tr></table><table><tr><td>搜索词</td></tr>"
                               "<tr><td>第二</td></tr></table></html>"));
        QStringList offered;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (dialog != nullptr && dialog->objectName() == QStringLiteral("选择工作表")) {
                offered = dialog->comboBoxItems();
                dialog->setTextValue(offered.value(1));
                dialog->accept();
            }
        });
        answer.start(5);
        f.window.ImportFile(path);
        QTRY_COMPARE(f.window.Model().Data().RowCount(), 1);
        QTRY_COMPARE(f.window.Tasks().RunningCount(), 0);
        QCOMPARE(offered,
                 (QStringList{QStringLiteral("第 1 个工作表"), QStringLiteral("第 2 个工作表")}));
        QCOMPARE(runtime::GbkToUtf8(f.window.Model().Data().Cell(0, 1)), std::string("第二"));
    }
};

QTEST_MAIN(SheetImportWindowTest)
#include "SheetImportWindowTest.moc"
