#pragma once

#include <QFont>

namespace mofeng::ui {

// "SimSun" at 9 pt; where it is not installed, the CJK font the machine has.
QFont TabControlFont();

}  // namespace mofeng::ui
