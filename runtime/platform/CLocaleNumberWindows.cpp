#include "runtime/platform/CLocaleNumber.h"

#include <locale.h>
#include <stdlib.h>

namespace mofeng::runtime::platform {

double ParseDoubleInCLocale(const char* text) {
    static const _locale_t cLocale = _create_locale(LC_NUMERIC, "C");
    return _strtod_l(text, nullptr, cLocale);
}

}  // namespace mofeng::runtime::platform
