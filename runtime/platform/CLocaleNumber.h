#pragma once

// Reading a decimal number whatever the process locale says the decimal
// point is: strtod_l on POSIX systems, _strtod_l on Windows.
namespace mofeng::runtime::platform {

// strtod in the C locale ('.' is the decimal point): overflow gives
// ±infinity, underflow zero; the rest of text after the number is ignored.
double ParseDoubleInCLocale(const char* text);

}  // namespace mofeng::runtime::platform
