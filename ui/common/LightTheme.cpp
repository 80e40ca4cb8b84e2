#include "ui/common/LightTheme.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>

namespace mofeng::ui {
namespace {

const QColor kWindow(0xf5, 0xf7, 0xf6);
const QColor kBase(0xff, 0xff, 0xff);
const QColor kText(0x2f, 0x3a, 0x3d);
const QColor kMutedText(0x8a, 0x95, 0x97);
// Selected rows: white text on maple (5.7:1), and on a muted brown when the
// window is inactive (5.3:1); both stand out from the white rows at a glance.
const QColor kHighlight(0xb0, 0x43, 0x2e);
const QColor kInactiveHighlight(0x7d, 0x66, 0x60);
const QColor kHighlightedText(0xff, 0xff, 0xff);
const QColor kLink(0x2a, 0x6f, 0xb0);

constexpr char kStyleSheet[] = R"(
QTabBar::tab {
    background: #e9eeec; color: #4b575a;
    border: 1px solid #d5dcda; border-bottom: none;
    border-top-left-radius: 4px; border-top-right-radius: 4px;
    padding: 0 14px; margin-right: 2px;
}
QTabBar::tab:selected { background: #ffffff; color: #2f3a3d; border-top: 2px solid #c8553d; }
QTabBar::tab:hover:!selected { background: #f3f6f5; }
QTableView {
    background: #ffffff; gridline-color: #e3e8e6;
    border: 1px solid #d5dcda;
}
QHeaderView::section {
    background: #eef2f1; color: #3c484b;
    border: none; border-right: 1px solid #d5dcda; border-bottom: 1px solid #d5dcda;
    padding: 0 4px; height: 22px;
}
QHeaderView::section:hover { background: #e4eae8; }
QMenu { background: #ffffff; border: 1px solid #cfd7d5; padding: 4px 0; }
QMenu::item { padding: 5px 28px 5px 22px; color: #2f3a3d; }
QMenu::item:selected { background: #f6dfd5; }
QMenu::separator { height: 1px; background: #e3e8e6; margin: 4px 10px; }
QScrollBar:vertical { background: #f5f7f6; width: 12px; margin: 0; }
QScrollBar::handle:vertical { background: #cdd5d3; border-radius: 4px; min-height: 24px; margin: 2px; }
QScrollBar:horizontal { background: #f5f7f6; height: 12px; margin: 0; }
QScrollBar::handle:horizontal { background: #cdd5d3; border-radius: 4px; min-width: 24px; margin: 2px; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
mofeng--ui--HyperlinkLabel { color: #2a6fb0; }
mofeng--ui--HyperlinkLabel:hover { color: #c8553d; }
)";

// Fusion without pictures on dialog buttons (plain "OK" and "Cancel" read
// better) and without a dotted frame around the current cell of a list, whose
// rows are selected whole.
class LightStyle final : public QProxyStyle {
public:
    LightStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) {
            return 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_FrameFocusRect && qobject_cast<const QAbstractItemView*>(widget)) {
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

}  // namespace

void ApplyLightTheme(QApplication& app) {
    app.setStyle(new LightStyle);  // the application takes ownership
    QPalette palette;
    palette.setColor(QPalette::Window, kWindow);
    palette.setColor(QPalette::WindowText, kText);
    palette.setColor(QPalette::Base, kBase);
    palette.setColor(QPalette::AlternateBase, kWindow);
    palette.setColor(QPalette::Text, kText);
    palette.setColor(QPalette::Button, kWindow);
    palette.setColor(QPalette::ButtonText, kText);
    palette.setColor(QPalette::ToolTipBase, kBase);
    palette.setColor(QPalette::ToolTipText, kText);
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::HighlightedText, kHighlightedText);
    palette.setColor(QPalette::Inactive, QPalette::Highlight, kInactiveHighlight);
    palette.setColor(QPalette::Link, kLink);
    palette.setColor(QPalette::PlaceholderText, kMutedText);
    palette.setColor(QPalette::Disabled, QPalette::Text, kMutedText);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, kMutedText);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, kMutedText);
    app.setPalette(palette);
    app.setStyleSheet(QString::fromLatin1(kStyleSheet));
}

}  // namespace mofeng::ui
