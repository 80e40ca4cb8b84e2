#pragma once

#include <string>

// Windows only: the reason for a Win32 error code in the words of the POSIX
// systems' strerror ("No such file or directory"), so that messages read the
// same everywhere and never carry the system language's code page.
namespace mofeng::runtime::platform {

std::string WindowsErrorText(unsigned long error);

}  // namespace mofeng::runtime::platform
