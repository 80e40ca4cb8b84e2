#include "ui/common/ReadableFigure.h"

namespace mofeng::ui {

QString ReadableFigure(const QString& text, const QLocale& locale) {
    const bool negative = text.startsWith(QLatin1Char('-'));
    const int digitsFrom = negative ? 1 : 0;
    int digitsTo = digitsFrom;
    while (digitsTo < text.size() && text[digitsTo].isDigit() && text[digitsTo].unicode() < 0x80) {
        ++digitsTo;
    }
    const int count = digitsTo - digitsFrom;
    if (count == 0 || (count > 1 && text[digitsFrom] == QLatin1Char('0'))) {
        return text;
    }
    int end = digitsTo;  // the fraction, digits only
    if (end < text.size() && text[end] == QLatin1Char('.')) {
        ++end;
        while (end < text.size() && text[end].isDigit() && text[end].unicode() < 0x80) {
            ++end;
        }
    }
    bool zero = true;
    for (int i = digitsFrom; i < end; ++i) {
        zero = zero && (text[i] == QLatin1Char('0') || text[i] == QLatin1Char('.'));
    }
    QString grouped;
    const QString separator = locale.groupSeparator();
    for (int i = digitsFrom; i < digitsTo; ++i) {
        if (i > digitsFrom && (digitsTo - i) % 3 == 0) {
            grouped += separator;
        }
        grouped += text[i];
    }
    QString fraction = text.mid(digitsTo, end - digitsTo);
    if (!fraction.isEmpty()) {
        fraction.replace(0, 1, locale.decimalPoint());
    }
    return (negative && !zero ? locale.negativeSign() : QString()) + grouped + fraction +
           text.mid(end);
}

}  // namespace mofeng::ui
