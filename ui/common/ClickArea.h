#pragma once

#include <QWidget>

namespace mofeng::ui {

// An invisible button over part of a picture: a pointing-hand cursor, and
// clicked when the left button is pressed and released inside it.
class ClickArea final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickArea)

public:
    ClickArea(QWidget* parent, const QString& objectName, QRect rect, const QString& toolTip);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

}  // namespace mofeng::ui
