#pragma once

#include <functional>
#include <string>

namespace mofeng::runtime {

// An error that ends the program in an orderly way: the message is shown
// (GBK text) and the process exits with code -1. No path that user input can
// reach raises one. The handler is replaceable so that the GUI can show a
// message box and tests can observe the call.
[[noreturn]] void RuntimeError(const std::string& message);

using RuntimeErrorHandler = std::function<void(const std::string& message)>;
void SetRuntimeErrorHandler(RuntimeErrorHandler handler);

}  // namespace mofeng::runtime
