#pragma once

// The one place that selects the 8-bit PCRE2 API; include this, not <pcre2.h>.
#ifndef PCRE2_CODE_UNIT_WIDTH
#define PCRE2_CODE_UNIT_WIDTH 8
#endif
#include <pcre2.h>
