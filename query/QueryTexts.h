#pragma once

#include <string>

// Fixed texts of the index query, as GBK bytes.
namespace mofeng::query {

// Told once per run when an endpoint's host is given up on.
const std::string& IndexEndpointUnavailableNotice();  // "指数接口不可用，本次不再请求"
const std::string& SearchEndpointUnavailableNotice();  // "搜索接口不可用，本次不再请求"

}  // namespace mofeng::query
