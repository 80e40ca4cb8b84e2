#pragma once

#include <string>

namespace mofeng::runtime {

// Message flags as the message boxes take them.
inline constexpr int kMessagePlain = 0;         // OK button, no icon
inline constexpr int kMessageInformation = 64;  // OK button, information icon

// Shows a message to the user and returns when it has been closed (or at
// once, when nobody is there to read it). Text is GBK.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void ShowMessage(const std::string& text, int flags) = 0;
};

}  // namespace mofeng::runtime
