#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "runtime/OrderedKeySet.h"

namespace mofeng::runtime {
namespace {

TEST(OrderedKeySet, KeepsOrderAndRefusesRepeats) {
    OrderedKeySet set;
    EXPECT_TRUE(set.Keys().empty());
    EXPECT_TRUE(set.Add("a"));
    EXPECT_TRUE(set.Add("b"));
    EXPECT_FALSE(set.Add("a"));
    EXPECT_TRUE(set.Add("A"));
    EXPECT_TRUE(set.Add(""));
    EXPECT_FALSE(set.Add(""));
    EXPECT_TRUE(set.Add(std::string_view("\xD6\xD0\0x", 4)));
    EXPECT_FALSE(set.Contains(std::string_view("\xD6\xD0", 2)));
    EXPECT_EQ(set.Keys(),
              (std::vector<std::string>{"a", "b", "A", "", std::string("\xD6\xD0\0x", 4)}));
}

TEST(OrderedKeySet, KeysSurviveGrowth) {
    // Long and short keys both; the index must not dangle as storage grows.
    OrderedKeySet set;
    for (int i = 0; i < 20000; ++i) {
        ASSERT_TRUE(set.Add(std::to_string(i) + (i % 2 ? std::string(40, 'k') : "")));
    }
    for (int i = 0; i < 20000; i += 997) {
        EXPECT_FALSE(set.Add(std::to_string(i) + (i % 2 ? std::string(40, 'k') : "")));
    }
    EXPECT_EQ(set.Keys()[12345], "12345" + std::string(40, 'k'));
}

TEST(OrderedKeySet, ConcurrentAddsAcceptEachKeyOnce) {
    OrderedKeySet set;
    constexpr int kThreads = 4;
    constexpr int kKeys = 5000;
    std::vector<int> accepted(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&set, &accepted, t] {
            for (int i = 0; i < kKeys; ++i) {
                accepted[t] += set.Add("k" + std::to_string(i)) ? 1 : 0;
                set.Contains("k0");
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    int total = 0;
    for (int n : accepted) {
        total += n;
    }
    EXPECT_EQ(total, kKeys);
    EXPECT_EQ(set.Size(), static_cast<std::size_t>(kKeys));
}

}  // namespace
}  // namespace mofeng::runtime
