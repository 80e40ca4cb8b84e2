#pragma once

#include "runtime/CancelToken.h"

namespace mofeng::cli {

// While alive, Ctrl-C (SIGINT) raises the token instead of killing the
// process, so a run stops the way a closing window stops it. One at a time.
class InterruptScope final {
public:
    explicit InterruptScope(runtime::CancelToken& token);
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

private:
    void (*m_previous)(int);
};

}  // namespace mofeng::cli
