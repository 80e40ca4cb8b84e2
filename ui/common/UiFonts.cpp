#include "ui/common/UiFonts.h"

#include <QStringList>

namespace mofeng::ui {

QFont TabControlFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    return font;
}

}  // namespace mofeng::ui
