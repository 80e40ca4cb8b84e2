#include "ui/common/ClickArea.h"

#include <QMouseEvent>

namespace mofeng::ui {

ClickArea::ClickArea(QWidget* parent, const QString& objectName, QRect rect, const QString& toolTip)
    : QWidget(parent) {
    setObjectName(objectName);
    setGeometry(rect);
    setToolTip(toolTip);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_NoSystemBackground);
}

void ClickArea::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickArea::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}

}  // namespace mofeng::ui
