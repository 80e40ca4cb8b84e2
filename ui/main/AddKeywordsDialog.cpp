#include "ui/main/AddKeywordsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ClipboardText.h"
#include "ui/common/GbkQt.h"

namespace mofeng::ui {

AddKeywordsDialog::AddKeywordsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("addKeywordsDialog"));
    setWindowTitle(QStringLiteral("添加关键词"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("每行一个关键词："), this));
    m_editor = new QPlainTextEdit(this);
    m_editor->setObjectName(QStringLiteral("keywordsEdit"));
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_editor);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("添加"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(360, 300);
    m_editor->setFocus();
}

std::vector<std::string> AddKeywordsDialog::Keywords() const {
    return app::PastedKeywords(ToGbk(m_editor->toPlainText()));
}

}  // namespace mofeng::ui
