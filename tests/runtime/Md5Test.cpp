#include <gtest/gtest.h>

#include <string>

#include "runtime/Md5Hex.h"

namespace mofeng::runtime {
namespace {

// The test suite of RFC 1321, appendix A.5: empty input, less than one
// block, exactly-one-block padding edge and more than one block.
TEST(Md5, MatchesTheReferenceVectors) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5Hex("1234567890123456789012345678901234567890"
                     "1234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

// Signed texts carry UTF-8 keywords; a NUL byte must not end the input.
TEST(Md5, HashesEveryByteIncludingNulAndNonAscii) {
    EXPECT_EQ(Md5Hex(std::string(1, '\0')), "93b885adfe0da089cdf634904fd59f71");
    EXPECT_NE(Md5Hex(std::string("a\0b", 3)), Md5Hex("a"));
    EXPECT_EQ(Md5Hex("\xe8\xbf\x9e\xe8\xa1\xa3\xe8\xa3\x99"), "1493b706df45a27c93abb35ae8848673");
}

}  // namespace
}  // namespace mofeng::runtime
