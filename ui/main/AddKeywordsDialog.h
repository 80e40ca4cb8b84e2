#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QPlainTextEdit;

namespace mofeng::ui {

// "添加关键词…": one keyword per line, typed or pasted. UI thread only.
class AddKeywordsDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddKeywordsDialog)

public:
    explicit AddKeywordsDialog(QWidget* parent);

    QPlainTextEdit& Editor() { return *m_editor; }
    // The keywords typed (GBK), top to bottom, as a paste reads them: empty
    // lines left out.
    std::vector<std::string> Keywords() const;

private:
    QPlainTextEdit* m_editor = nullptr;
};

}  // namespace mofeng::ui
