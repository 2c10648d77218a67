#include <gtest/gtest.h>

#include <vector>

#include "download/AdaptiveReadSize.h"

namespace {

struct Read {
    DWORD got;  // ~0u: the whole size asked for
    DWORD elapsedMs;
};
constexpr DWORD kFull = ~0u;

struct Case {
    const char* name;
    std::vector<Read> reads;
    std::vector<DWORD> sizes;  // the size asked for after each read
};

class AdaptiveReadSizeTest : public testing::TestWithParam<Case> {};

TEST_P(AdaptiveReadSizeTest, FollowsTheLink) {
    AdaptiveReadSize size(1024, 8192);
    EXPECT_EQ(size.size(), 1024u);
    std::vector<DWORD> sizes;
    for (const Read& read : GetParam().reads) {
        size.Update(read.got == kFull ? size.size() : read.got, read.elapsedMs);
        sizes.push_back(size.size());
    }
    EXPECT_EQ(sizes, GetParam().sizes);
}

INSTANTIATE_TEST_SUITE_P(
    Reads, AdaptiveReadSizeTest,
    testing::Values(
        Case{"QuickFullReadsDoubleUpToTheMost", {{kFull, 0}, {kFull, 1}, {kFull, 20}, {kFull, 0}}, {2048, 4096, 8192, 8192}},
        Case{"ShortReadsKeepTheSize", {{kFull, 0}, {100, 0}, {0, 0}}, {2048, 2048, 2048}},
        Case{"MiddlingReadsKeepTheSize", {{kFull, 0}, {kFull, 21}, {kFull, 199}}, {2048, 2048, 2048}},
        Case{"SlowReadsHalveDownToTheLeast", {{kFull, 0}, {kFull, 0}, {kFull, 200}, {10, 5000}, {kFull, 300}}, {2048, 4096, 2048, 1024, 1024}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace

TEST(AdaptiveReadSize, NeverAsksForLessThanOneByteOrLessThanTheLeast) {
    EXPECT_EQ(AdaptiveReadSize(0, 0).size(), 1u);
    EXPECT_EQ(AdaptiveReadSize(4096, 1024).size(), 4096u);
}
