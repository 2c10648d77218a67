#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "qen_lib/byte_buffer.h"
#include "qen_lib/text.h"

using qen_lib::ByteBuffer;

namespace {

ByteBuffer buffer_of(const std::vector<unsigned char>& bytes) {
    ByteBuffer buffer(static_cast<std::uint32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), buffer.data());
    return buffer;
}

}  // namespace

TEST(ByteBuffer, SizeZeroIsEmptyWithoutArray) {
    ByteBuffer empty(0);
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(nullptr, empty.data());
    EXPECT_EQ(nullptr, ByteBuffer().data());
}

TEST(ByteBuffer, MovingTakesTheArrayAndLeavesTheSourceEmpty) {
    ByteBuffer source = buffer_of({1, 2, 3});
    const unsigned char* array = source.data();

    ByteBuffer moved(std::move(source));
    EXPECT_EQ(array, moved.data());
    EXPECT_EQ(3u, moved.size());
    EXPECT_EQ(nullptr, source.data());
    EXPECT_EQ(0u, source.size());

    ByteBuffer assigned = buffer_of({9});
    assigned = std::move(moved);
    EXPECT_EQ(array, assigned.data());
    EXPECT_EQ(nullptr, moved.data());

    ByteBuffer& same = assigned;
    assigned = std::move(same);
    EXPECT_EQ(array, assigned.data());
    EXPECT_EQ(3u, assigned.size());
}

TEST(ByteBuffer, CloneIsAnIndependentCopy) {
    ByteBuffer original = buffer_of({0xde, 0xad});
    ByteBuffer copy = original.clone();
    ASSERT_NE(original.data(), copy.data());
    copy.data()[0] = 0;
    EXPECT_EQ(L"de_ad", original.to_hex(L"_"));
    EXPECT_EQ(L"00_ad", copy.to_hex(L"_"));
    EXPECT_TRUE(ByteBuffer().clone().empty());
}

TEST(ByteBuffer, HexHasLowercaseDigitsAndSeparatorsBetweenBytesOnly) {
    const struct {
        std::vector<unsigned char> bytes;
        const wchar_t* separator;
        const wchar_t* hex;
    } cases[] = {
        {{}, L"_", L""},
        {{0x00, 0xab}, L"_", L"00_ab"},
        {{0x7f}, L"_", L"7f"},
        {{0x01, 0xf0, 0x3c}, L"::", L"01::f0::3c"},
        {{0x01, 0xf0}, L"", L"01f0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.hex, buffer_of(c.bytes).to_hex(c.separator));
    }
    EXPECT_EQ("00ab10", qen_lib::text::bytes_to_hex(buffer_of({0x00, 0xab, 0x10})));
}
