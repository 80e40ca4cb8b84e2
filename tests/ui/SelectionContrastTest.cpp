#include <QApplication>
#include <QPalette>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <cmath>

#include "ui/common/LightTheme.h"
#include "ui/main/MainWindow.h"
#include "ui/mining/MiningWindow.h"
#include "ui/mining/MiningWindowManager.h"
#include "ui/startup/AppContext.h"

namespace {

// WCAG 2 relative luminance and contrast ratio.
double Luminance(const QColor& color) {
    auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

class SelectionContrastTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { mofeng::ui::ApplyLightTheme(*qApp); }

    void contrastFormula() {
        // Known values: black on white 21:1, a colour on itself 1:1, and
        // #777777 on white just under 4.5:1.
        QCOMPARE(std::round(Contrast(Qt::black, Qt::white) * 100) / 100, 21.0);
        QCOMPARE(Contrast(QColor(0x12, 0x34, 0x56), QColor(0x12, 0x34, 0x56)), 1.0);
        QVERIFY(Contrast(QColor(0x77, 0x77, 0x77), Qt::white) < 4.5);
        QVERIFY(Contrast(QColor(0x76, 0x76, 0x76), Qt::white) >= 4.5);
    }

    void selectedRowsReadAtAGlanceInBothLists() {
        mofeng::ui::AppContext context({}, {});
        mofeng::ui::MainWindow main(context);
        main.show();
        mofeng::ui::MiningWindow* mining = main.MiningWindows().Open();
        QVERIFY(mining != nullptr);
        auto* miningList = mining->findChild<QTableView*>(QStringLiteral("超级列表框1"));
        QVERIFY(miningList != nullptr);

        for (QTableView* list : {&main.List(), miningList}) {
            list->ensurePolished();
            const QPalette palette = list->palette();
            for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                const QColor selection = palette.color(group, QPalette::Highlight);
                const QColor text = palette.color(group, QPalette::HighlightedText);
                const QByteArray where = list->window()->windowTitle().toUtf8() +
                                         (group == QPalette::Active ? " active" : " inactive");
                QVERIFY2(Contrast(selection, text) >= 4.5, where.constData());
                // The unselected rows' own text stays readable too.
                QVERIFY2(Contrast(palette.color(group, QPalette::Base),
                                  palette.color(group, QPalette::Text)) >= 4.5,
                         where.constData());
            }
            // A selected row stands out from the white rows beside it
            // (3:1, the contrast asked of a control's visible state).
            QVERIFY(Contrast(palette.color(QPalette::Active, QPalette::Highlight),
                             palette.color(QPalette::Active, QPalette::Base)) >= 3.0);
        }
        main.close();
    }
};

QTEST_MAIN(SelectionContrastTest)
#include "SelectionContrastTest.moc"
