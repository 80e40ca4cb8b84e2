#include <gtest/gtest.h>

#include "net/BlockedMarkers.h"

#include <random>
#include <string>
#include <vector>

namespace mofeng::net {
namespace {

bool HoldsMarkerPlainly(std::string_view body) {
    for (const std::string_view marker : kBlockedBodyMarkers) {
        if (body.find(marker) != body.npos) {
            return true;
        }
    }
    return false;
}

TEST(BodyIsBlocked, MarkersAtEveryOffsetAndLength) {
    // Each marker, whole or missing one byte at either end, at every offset of
    // bodies around the width the scan reads at once.
    for (const std::string_view marker : kBlockedBodyMarkers) {
        const std::string whole(marker);
        for (const std::string& planted :
             {whole, whole.substr(1), whole.substr(0, whole.size() - 1)}) {
            const bool expected = planted == whole;
            for (std::size_t length = planted.size(); length < 70; ++length) {
                for (std::size_t at = 0; at + planted.size() <= length; ++at) {
                    std::string body(length, '.');
                    body.replace(at, planted.size(), planted);
                    ASSERT_EQ(BodyIsBlocked(body), expected)
                        << planted << " at " << at << " of " << length;
                }
            }
        }
    }
}

TEST(BodyIsBlocked, AgreesWithAPlainSearchOnNearMisses) {
    // Bodies made of pieces of the markers, so that first and last bytes
    // match in many places where the whole marker does not.
    const std::vector<std::string> pieces = {"x5sec", "data", "_____",    "tmd",
                                             "x",     "a",    "\xB0\xA1", std::string("\0", 1)};
    std::mt19937 random(8122026);
    int blocked = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string body;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            body += pieces[random() % pieces.size()];
        }
        const bool expected = HoldsMarkerPlainly(body);
        blocked += expected ? 1 : 0;
        ASSERT_EQ(BodyIsBlocked(body), expected) << "round " << round;
    }
    EXPECT_GT(blocked, 50);  // the bodies do hold markers now and then
}

}  // namespace
}  // namespace mofeng::net
