#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace mofeng::ui {

// The words of "排除词…" as typed: separated by spaces (the ideographic
// space too), tabs or line breaks; empty pieces and repeats dropped, the
// first order kept.
QStringList ParseExcludeWords(const QString& text);

// QSettings key of the mining windows' exclude words (a list of texts).
inline constexpr char kExcludeWordsKey[] = "mining/excludeWords";

// "排除词": one text field of exclude words, 确定 and 取消. UI thread only.
class ExcludeWordsDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExcludeWordsDialog)

public:
    ExcludeWordsDialog(const QStringList& words, QWidget* parent);

    QStringList Words() const;

private:
    QPlainTextEdit* m_words = nullptr;
};

}  // namespace mofeng::ui
