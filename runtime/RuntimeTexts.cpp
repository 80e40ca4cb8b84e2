#include "runtime/RuntimeTexts.h"

#include "runtime/GbkTextTable.h"

namespace mofeng::runtime {

MOFENG_GBK_TEXT(TrueText, "真")
MOFENG_GBK_TEXT(FalseText, "假")

MOFENG_GBK_TEXT(DivideByZeroMessage, "不能整除于零")
MOFENG_GBK_TEXT(RemainderByZeroMessage, "不能求余数于零")

}  // namespace mofeng::runtime
