#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mofeng::sim {

// What a request gets.
enum class Outcome {
    Normal,    // the endpoint's reply
    NotFound,  // not one of the three endpoints: 404
    Fail,      // 500 with an HTML body
    Drop,      // Content-Length of the full body, part of it sent, then closed
    Stall,     // headers sent, then silence
    Garbage,   // 200 with random bytes, NULs and invalid UTF-8 among them
};

std::string_view OutcomeName(Outcome outcome);  // "ok", "not-found", "fail", ...

// Fractions 0..1 of endpoint requests; taken in this order, their sum capped at 1.
struct FaultRates {
    double fail = 0;
    double drop = 0;
    double stall = 0;
    double garbage = 0;
};

// The fault for the request with this 1-based arrival number: a pure function
// of (seed, number, rates), so a run with the same requests in the same order
// meets the same faults.
Outcome DecideFault(std::uint64_t seed, std::uint64_t requestNumber, const FaultRates& rates);

// How many bytes of a body of bodySize (>= 2) a dropped reply sends: between
// a tenth and nine tenths, never all of it.
std::size_t DropCut(std::uint64_t seed, std::uint64_t requestNumber, std::size_t bodySize);

// 256 to 8192 random bytes, at least one NUL and one byte that is never UTF-8.
std::string GarbageBody(std::uint64_t seed, std::uint64_t requestNumber);

}  // namespace mofeng::sim
