#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "handover/HandOverBlock.h"
#include "qen_lib/envelope/envelope.h"

namespace {

// A block under the reading name, made the way another program might.
struct ForeignBlock {
    ForeignBlock(DWORD size, const void* content, size_t length)
        : mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, HAND_OVER_READ_NAME)),
          view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0)) {
        if (view) memcpy(view.get(), content, length);
    }
    win::KernelHandle mapping;
    win::MappedView view;
};

// What the creating side holds right now, read through a second mapping.
std::vector<BYTE> CreatedBlockBytes() {
    win::KernelHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, HAND_OVER_BLOCK_NAME));
    win::MappedView view(mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0) : nullptr);
    if (!view) return {};
    const auto* bytes = static_cast<const BYTE*>(view.get());
    return std::vector<BYTE>(bytes, bytes + sizeof(HandOverBlock));
}

class HandOverBlockTest : public testing::Test {
protected:
    void TearDown() override { CloseHandOverBlock(); }
};

}  // namespace

TEST_F(HandOverBlockTest, SecondCreationFailsAsTheGuard) {
    ASSERT_TRUE(CreateHandOverBlock());
    EXPECT_FALSE(CreateHandOverBlock());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    // The first block and its guard stay in force.
    const HandOverPayload payload(L"user", L"pass");
    EXPECT_TRUE(WriteHandOverBlock(&payload));
    EXPECT_FALSE(CreatedBlockBytes().empty());

    CloseHandOverBlock();
    CloseHandOverBlock();  // a second close does nothing
    EXPECT_TRUE(CreatedBlockBytes().empty());
    EXPECT_TRUE(CreateHandOverBlock());
}

TEST_F(HandOverBlockTest, GuardHoldsAgainstABlockOfAnotherProgram) {
    win::KernelHandle other(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1044, HAND_OVER_BLOCK_NAME));
    ASSERT_TRUE(other);
    EXPECT_FALSE(CreateHandOverBlock());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST_F(HandOverBlockTest, WriteNeedsAnOpenBlockAndAPayload) {
    const HandOverPayload payload(L"user", L"pass");
    EXPECT_FALSE(WriteHandOverBlock(&payload));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    ASSERT_TRUE(CreateHandOverBlock());
    EXPECT_FALSE(WriteHandOverBlock(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(HandOverBlockTest, WrittenCredentialsDecipherBack) {
    ASSERT_TRUE(CreateHandOverBlock());
    const HandOverPayload payload(L"プロキシ利用者", L"秘密のパスワード");
    ASSERT_TRUE(WriteHandOverBlock(&payload));

    std::vector<BYTE> block = CreatedBlockBytes();
    ASSERT_EQ(block.size(), sizeof(HandOverBlock));
    uint32_t length;
    memcpy(&length, block.data(), sizeof length);
    EXPECT_GT(length, 1024u);
    EXPECT_LE(length, 1040u);
    // Nothing of the plain text shows in the shared memory.
    const std::wstring user = L"プロキシ利用者";
    const auto* userBytes = reinterpret_cast<const BYTE*>(user.c_str());
    EXPECT_EQ(std::search(block.begin(), block.end(), userBytes, userBytes + user.size() * 2), block.end());

    DWORD size = length + 16;
    std::vector<BYTE> plain(size);
    ASSERT_TRUE(CryptBuffer(FALSE, block.data() + 4, length, plain.data(), &size));
    ASSERT_EQ(size, 1024u);
    HandOverPayload back;
    memcpy(back.userName, plain.data(), 512);
    memcpy(back.password, plain.data() + 512, 512);
    EXPECT_EQ(back.UserName(), L"プロキシ利用者");
    EXPECT_EQ(back.Password(), L"秘密のパスワード");
    EXPECT_EQ(memcmp(plain.data(), payload.userName, 1024), 0);

    // The reading side finds the same block under its own name.
    ForeignBlock copy(sizeof(HandOverBlock), block.data(), block.size());
    win::KernelHandle mapping;
    win::MappedView view;
    DWORD decipherSize = 0;
    ASSERT_TRUE(OpenHandOverBlock(mapping, view, decipherSize));
    EXPECT_EQ(decipherSize, length + 16);
}

TEST(HandOverPayload, CutsEveryTextSoThatItsTerminatorFits) {
    const CString longName(std::wstring(300, L'u'));
    const CString longPassword(std::wstring(256, L'p'));
    const HandOverPayload payload(longName, longPassword);
    EXPECT_EQ(payload.UserName(), CString(std::wstring(255, L'u')));
    EXPECT_EQ(payload.Password(), CString(std::wstring(255, L'p')));
    EXPECT_EQ(payload.userName[255], L'\0');
    EXPECT_EQ(payload.password[255], L'\0');
}

TEST(HandOverPayload, ReaderNeverReadsPastItsUnits) {
    HandOverPayload payload;
    std::fill(std::begin(payload.userName), std::end(payload.userName), L'a');  // no terminator at all
    wcscpy(payload.password, L"pw");
    EXPECT_EQ(payload.UserName(), CString(std::wstring(256, L'a')));
    EXPECT_EQ(payload.Password(), L"pw");
}

TEST(OpenHandOverBlock, FailsWhenNoBlockExists) {
    win::KernelHandle mapping;
    win::MappedView view;
    DWORD size = 1;
    EXPECT_FALSE(OpenHandOverBlock(mapping, view, size));
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(view);
}

struct HostileBlock {
    const char* name;
    DWORD mappingSize;
    uint32_t cipherLength;
};

class OpenHandOverBlockRefuses : public testing::TestWithParam<HostileBlock> {};

TEST_P(OpenHandOverBlockRefuses, ACipherLengthThatDoesNotFit) {
    const uint32_t length = GetParam().cipherLength;
    ForeignBlock hostile(GetParam().mappingSize, &length, sizeof length);
    ASSERT_TRUE(hostile.view);
    win::KernelHandle mapping;
    win::MappedView view;
    DWORD size = 0;
    EXPECT_FALSE(OpenHandOverBlock(mapping, view, size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_FALSE(mapping);
    EXPECT_FALSE(view);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, OpenHandOverBlockRefuses,
    testing::Values(HostileBlock{"Empty", 1044, 0}, HostileBlock{"NotWholeBlocks", 1044, 1031},
                    HostileBlock{"OneBlockTooMany", 1044, 1048}, HostileBlock{"JustUnderTheOldLimit", 1044, 0xFFFF8},
                    HostileBlock{"Huge", 1044, 0xFFFFFFF8},
                    HostileBlock{"LongerThanAPage", 8192, 4096}),
    [](const testing::TestParamInfo<HostileBlock>& info) { return std::string(info.param.name); });
