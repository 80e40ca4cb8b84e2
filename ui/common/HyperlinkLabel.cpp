#include "ui/common/HyperlinkLabel.h"

#include <QMouseEvent>

namespace mofeng::ui {

HyperlinkLabel::HyperlinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
}

void HyperlinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit pressed();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

}  // namespace mofeng::ui
