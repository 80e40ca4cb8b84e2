#include "runtime/RuntimeError.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "runtime/CodePage.h"

namespace mofeng::runtime {
namespace {

std::mutex& HandlerMutex() {
    static std::mutex mutex;
    return mutex;
}

RuntimeErrorHandler& Handler() {
    static RuntimeErrorHandler handler;
    return handler;
}

// Without a window to show it in, the message goes to stderr (as UTF-8).
void WriteToStandardError(const std::string& message) {
    const std::string text = "运行时出错!\n\n错误信息：" + GbkToUtf8(message) + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

void RuntimeError(const std::string& message) {
    RuntimeErrorHandler handler;
    {
        std::lock_guard lock(HandlerMutex());
        handler = Handler();
    }
    if (handler) {
        handler(message);  // may throw, so that tests can observe the call
    } else {
        WriteToStandardError(message);
    }
    std::exit(-1);
}

void SetRuntimeErrorHandler(RuntimeErrorHandler handler) {
    std::lock_guard lock(HandlerMutex());
    Handler() = std::move(handler);
}

}  // namespace mofeng::runtime
