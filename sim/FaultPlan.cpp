#include "sim/FaultPlan.h"

#include <algorithm>

#include "sim/StableHash.h"

namespace mofeng::sim {
namespace {

std::uint64_t RequestState(std::uint64_t seed, std::uint64_t requestNumber, std::uint64_t salt) {
    return Mix64(Mix64(seed ^ salt) ^ Mix64(requestNumber));
}

}  // namespace

std::string_view OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Normal:
            return "ok";
        case Outcome::NotFound:
            return "not-found";
        case Outcome::Fail:
            return "fail";
        case Outcome::Drop:
            return "drop";
        case Outcome::Stall:
            return "stall";
        case Outcome::Garbage:
            return "garbage";
    }
    return "?";
}

Outcome DecideFault(std::uint64_t seed, std::uint64_t requestNumber, const FaultRates& rates) {
    const double u = StableRandom(RequestState(seed, requestNumber, 31)).Unit();
    double threshold = 0;
    const std::pair<double, Outcome> steps[] = {
        {rates.fail, Outcome::Fail},
        {rates.drop, Outcome::Drop},
        {rates.stall, Outcome::Stall},
        {rates.garbage, Outcome::Garbage},
    };
    for (const auto& [rate, outcome] : steps) {
        threshold += std::clamp(rate, 0.0, 1.0);
        if (u < threshold) {
            return outcome;
        }
    }
    return Outcome::Normal;
}

std::size_t DropCut(std::uint64_t seed, std::uint64_t requestNumber, std::size_t bodySize) {
    if (bodySize < 2) {
        return 0;
    }
    StableRandom random(RequestState(seed, requestNumber, 32));
    const auto cut =
        static_cast<std::size_t>(static_cast<double>(bodySize) * (0.1 + 0.8 * random.Unit()));
    return std::clamp<std::size_t>(cut, 1, bodySize - 1);
}

std::string GarbageBody(std::uint64_t seed, std::uint64_t requestNumber) {
    StableRandom random(RequestState(seed, requestNumber, 33));
    std::string body(static_cast<std::size_t>(random.Between(256, 8192)), '\0');
    for (char& c : body) {
        c = static_cast<char>(random.Next() & 0xFF);
    }
    body[static_cast<std::size_t>(random.Between(0, static_cast<std::int64_t>(body.size()) - 1))] =
        '\0';
    body[static_cast<std::size_t>(random.Between(0, static_cast<std::int64_t>(body.size()) - 1))] =
        static_cast<char>(0xFF);
    return body;
}

}  // namespace mofeng::sim
