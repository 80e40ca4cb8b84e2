#pragma once

#include <QLabel>

namespace mofeng::ui {

// A caption drawn as a web link that reacts when the left button goes down
// on it (not on release).
class HyperlinkLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HyperlinkLabel)

public:
    HyperlinkLabel(const QString& caption, QWidget* parent);

signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace mofeng::ui
