#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mofeng::sim {

// One request as the simulator received it.
struct RequestRecord {
    std::uint64_t number = 0;  // 1-based arrival order
    double seconds = 0;        // arrival time, seconds since the simulator started
    std::string method;
    std::string target;   // as sent, still percent-encoded
    std::string version;  // "HTTP/1.0"
    std::string userAgent;
    std::vector<std::string> accept;  // every Accept header, in the order sent
    std::string cookie;               // the Cookie header(s) joined by "; "; empty when none
    std::string outcome;              // OutcomeName() of what it got
    std::uint64_t connection = 0;     // 1-based number of the connection it came on; 0: unknown
};

// The log line (no line end): arrival seconds (3 decimals), method, target, version, user agent,
// the Accept values joined by " | ", cookie, outcome; separated by tabs, "-" for a missing header,
// tabs and line breaks inside values turned into spaces; then "conn=N" when
// the connection is known.
std::string FormatLogLine(const RequestRecord& record);

}  // namespace mofeng::sim
