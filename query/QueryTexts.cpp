#include "query/QueryTexts.h"

#include "runtime/GbkTextTable.h"

namespace mofeng::query {

MOFENG_GBK_TEXT(IndexEndpointUnavailableNotice, "指数接口不可用，本次不再请求")
MOFENG_GBK_TEXT(SearchEndpointUnavailableNotice, "搜索接口不可用，本次不再请求")

}  // namespace mofeng::query
