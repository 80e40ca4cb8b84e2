// The h5 reply reader over any bytes: it stays within its bounds (entries,
// text lengths, nesting), a count it gives is a run of digits, and a reply it
// cannot read gives nothing. The same reply behind a callback name reads the
// same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "net/H5ListingCount.h"
#include "net/H5Reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mofeng;
    const std::string body(reinterpret_cast<const char*>(data), size);
    const net::H5Reply reply = net::ReadH5Reply(body);
    FUZZ_CHECK(reply.ret.size() <= net::kMaxH5Ret);
    for (const std::string& entry : reply.ret) {
        FUZZ_CHECK(entry.size() <= net::kMaxH5Text);
    }
    if (!reply.readable) {
        FUZZ_CHECK(reply.ret.empty() && !reply.totalResults);
    }
    if (reply.totalResults) {
        const std::string& digits = *reply.totalResults;
        const std::size_t first = !digits.empty() && digits[0] == '-' ? 1 : 0;
        FUZZ_CHECK(digits.size() > first);
        for (std::size_t i = first; i < digits.size(); ++i) {
            FUZZ_CHECK(digits[i] >= '0' && digits[i] <= '9');
        }
    }
    if (body.find('{') != std::string::npos) {
        const net::H5Reply wrapped = net::ReadH5Reply("mtopjsonp1(" + body + ")");
        FUZZ_CHECK(wrapped.readable == reply.readable);
        FUZZ_CHECK(wrapped.ret == reply.ret);
        FUZZ_CHECK(wrapped.totalResults == reply.totalResults);
    }
    const net::H5Verdict verdict = net::JudgeH5Reply(reply, body);
    FUZZ_CHECK(!verdict.tokenRefused || verdict.outcome == net::FetchOutcome::Failed);
    return 0;
}
