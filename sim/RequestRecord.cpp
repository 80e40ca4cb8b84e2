#include "sim/RequestRecord.h"

#include <cstdio>

namespace mofeng::sim {
namespace {

std::string Field(const std::string& value) {
    if (value.empty()) {
        return "-";
    }
    std::string out = value;
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return out;
}

}  // namespace

std::string FormatLogLine(const RequestRecord& record) {
    std::string accept;
    for (std::size_t i = 0; i < record.accept.size(); ++i) {
        accept += (i == 0 ? "" : " | ") + record.accept[i];
    }
    if (record.accept.size() == 1 && accept.empty()) {
        accept = "\"\"";  // present but empty
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", record.seconds);
    return std::string(seconds) + '\t' + Field(record.method) + '\t' + Field(record.target) + '\t' +
           Field(record.version) + '\t' + Field(record.userAgent) + '\t' + Field(accept) + '\t' +
           Field(record.cookie) + '\t' + Field(record.outcome) +
           (record.connection == 0 ? std::string() : "\tconn=" + std::to_string(record.connection));
}

}  // namespace mofeng::sim
