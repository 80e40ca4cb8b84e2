#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "net/EndpointConfig.h"
#include "runtime/CancelToken.h"

namespace mofeng::query {

// The listing count a search page carries after "totalHits" (key found
// regardless of case). A count directly after the key (optional quote, colon,
// optional white space, then bare ASCII digits or a quoted value) is taken
// first; otherwise the value between ':"' and '",' after the key. A quoted
// value reads as runtime::ToNumber reads it (leading white space, a sign,
// full-width digits). 0 when the page has none or a negative one; counts
// beyond the 32-bit range saturate. Page bytes are GBK.
std::int32_t ListingCountFromPage(std::string_view page);
// The same reading, nullopt when the page carries no number for the key (the
// caller tells "no data" from a count of 0).
std::optional<std::int32_t> FindListingCount(std::string_view page);

// Requests the search page for keyword (GBK) and reads its listing count.
// One request; a failed fetch gives 0.
std::int32_t SearchResultCount(const net::EndpointConfig& config, std::string_view keyword,
                               const runtime::CancelToken* cancel = nullptr);

}  // namespace mofeng::query
