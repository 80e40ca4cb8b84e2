#pragma once

#include <QLocale>
#include <QString>

namespace mofeng::ui {

// How the list shows a figure's text (display only; the stored text, the
// sort, the session and every export keep it as it is): the decimal number it
// begins with gets the locale's group separators (4214015 -> 4,214,015) and a
// negative zero loses its sign ("-0.0" -> "0.0"); whatever follows the number
// (the trend's mark) stays. A text that does not begin with a number, or
// whose number has a leading zero (shown exactly as received), is unchanged.
QString ReadableFigure(const QString& text, const QLocale& locale = QLocale());

}  // namespace mofeng::ui
