#pragma once

#include <string>

// Fixed texts of the runtime, as GBK bytes.
namespace mofeng::runtime {

const std::string& TrueText();   // "真"
const std::string& FalseText();  // "假"

const std::string& DivideByZeroMessage();     // "不能整除于零"
const std::string& RemainderByZeroMessage();  // "不能求余数于零"

}  // namespace mofeng::runtime
