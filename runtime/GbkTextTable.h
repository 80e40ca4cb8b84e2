#pragma once

#include <string>

#include "runtime/CodePage.h"

// For the .cpp files that hold a layer's fixed texts: the sources are UTF-8,
// and each text is converted to GBK once, on first use.
//   MOFENG_GBK_TEXT(SaveFailedMessage, "保存失败")
// defines `const std::string& SaveFailedMessage()`, declared in the header.
#define MOFENG_GBK_TEXT(name, utf8)                                         \
    const std::string& name() {                                             \
        static const std::string text = ::mofeng::runtime::Utf8ToGbk(utf8); \
        return text;                                                        \
    }
