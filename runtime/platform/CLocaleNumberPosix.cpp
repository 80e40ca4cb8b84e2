#include "runtime/platform/CLocaleNumber.h"

#include <locale.h>

#include <cstdlib>

namespace mofeng::runtime::platform {

double ParseDoubleInCLocale(const char* text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return strtod_l(text, nullptr, cLocale);
}

}  // namespace mofeng::runtime::platform
