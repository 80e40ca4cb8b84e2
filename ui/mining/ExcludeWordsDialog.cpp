#include "ui/mining/ExcludeWordsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace mofeng::ui {

QStringList ParseExcludeWords(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[\\s\\x{3000}]+"));
    QStringList words;
    for (const QString& word : text.split(separators, Qt::SkipEmptyParts)) {
        if (!words.contains(word)) {
            words << word;
        }
    }
    return words;
}

ExcludeWordsDialog::ExcludeWordsDialog(const QStringList& words, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("excludeWordsDialog"));
    setWindowTitle(QStringLiteral("排除词"));
    auto* hint =
        new QLabel(QStringLiteral("含有下列任一词的关键词不会被淘到（用空格或换行分隔）："));
    hint->setWordWrap(true);
    m_words = new QPlainTextEdit(words.join(QLatin1Char(' ')));
    m_words->setObjectName(QStringLiteral("excludeWords"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_words);
    layout->addWidget(buttons);
    resize(360, 220);
}

QStringList ExcludeWordsDialog::Words() const {
    return ParseExcludeWords(m_words->toPlainText());
}

}  // namespace mofeng::ui
