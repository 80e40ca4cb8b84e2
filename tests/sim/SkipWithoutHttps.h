#pragma once

#include <gtest/gtest.h>

#include "sim/TlsContext.h"

// Skips the running test when this build's simulator cannot serve HTTPS: its
// TLS comes from OpenSSL, which the Windows cross build does not link.
#define MOFENG_SKIP_WITHOUT_HTTPS()                                   \
    do {                                                              \
        if (!::mofeng::sim::TlsContext::Available()) {                \
            GTEST_SKIP() << "this build's simulator serves no HTTPS"; \
        }                                                             \
    } while (false)
