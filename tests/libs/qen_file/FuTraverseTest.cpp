#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fu_test_files.h"
#include "qen_lib/fu.h"
#include "support/temp_folder.h"

using testing_support::TempFolder;

namespace {

struct Reading {
    int result;
    Lines lines;
};

Reading read(const std::wstring& path, unsigned char flags, int type) {
    Reading r;
    r.result = FU_TraverseFileEx(path.c_str(), LineFuncForList, &r.lines, flags, type);
    return r;
}

Reading read_bytes_as(const std::string& bytes, unsigned char flags, int type) {
    TempFolder folder;
    testing_support::write_bytes(folder / L"in.txt", bytes);
    return read(folder / L"in.txt", flags, type);
}

const Lines kAll = {L"一行目", L"", L"#comment", L" #not a comment", L"last"};
const Lines kKept = {L"一行目", L" #not a comment", L"last"};

}  // namespace

TEST(FuTraverse, ReadsEachEncodingWithAndWithoutCommentFlag) {
    const std::wstring wide = L"一行目\r\n\r\n#comment\r\n #not a comment\r\nlast";
    const struct {
        const char* name;
        std::string bytes;
        int type;
    } cases[] = {
        {"code page 932", "\x88\xea\x8d\x73\x96\xda" "\r\n\r\n#comment\r\n #not a comment\r\nlast", 0},
        {"unknown type as text", "\x88\xea\x8d\x73\x96\xda" "\n\n#comment\n #not a comment\nlast", 7},
        {"UTF-8 with BOM", "\xef\xbb\xbf\xe4\xb8\x80\xe8\xa1\x8c\xe7\x9b\xae" "\r\n\r\n#comment\r\n #not a comment\r\nlast", 1},
        {"UTF-8 without BOM", "\xe4\xb8\x80\xe8\xa1\x8c\xe7\x9b\xae" "\n\n#comment\n #not a comment\nlast", 1},
        {"UTF-16 with BOM", utf16le(wide, true), 2},
        // UTF-16 without its BOM is not recognised by the C runtime (it is
        // read as UTF-8); our writer always puts the BOM in.
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Reading all = read_bytes_as(c.bytes, 0, c.type);
        EXPECT_EQ(0, all.result);
        EXPECT_EQ(kAll, all.lines);
        const Reading kept = read_bytes_as(c.bytes, FU_SKIP_EMPTY_AND_COMMENTS, c.type);
        EXPECT_EQ(0, kept.result);
        EXPECT_EQ(kKept, kept.lines);
    }
}

TEST(FuTraverse, MissingFileGivesTheSystemErrorAndEmptyFileNoLines) {
    TempFolder folder;
    const Reading missing = read(folder / L"missing.txt", 0, 0);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, missing.result);
    EXPECT_TRUE(missing.lines.empty());

    const Reading empty = read_bytes_as("", 0, 1);
    EXPECT_EQ(0, empty.result);
    EXPECT_TRUE(empty.lines.empty());
}

TEST(FuTraverse, CallbackResultStopsTheReading) {
    struct Counter {
        int calls = 0;
    } counter;
    TempFolder folder;
    testing_support::write_bytes(folder / L"in.txt", "1\n2\n3\n4\n");
    const int result = FU_TraverseFileEx(
        (folder / L"in.txt").c_str(),
        [](wchar_t*, void* user) { return ++static_cast<Counter*>(user)->calls == 3 ? 13 : 0; },
        &counter, 0, 0);
    EXPECT_EQ(13, result);
    EXPECT_EQ(3, counter.calls);
}

TEST(FuTraverse, LineOfTheBufferSizeIsWholeAndALongerOneIsAnError) {
    const std::string full(FU_MAX_LINE, 'a');
    const std::string longer = std::string(FU_MAX_LINE, 'b') + "#tail";
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        const Reading exact = read_bytes_as("x\n" + full + "\ny\n", 0, type);
        EXPECT_EQ(0, exact.result);
        EXPECT_EQ((Lines{L"x", std::wstring(full.begin(), full.end()), L"y"}), exact.lines);

        const Reading at_end = read_bytes_as(full, 0, type);
        EXPECT_EQ(0, at_end.result);
        EXPECT_EQ(1u, at_end.lines.size());

        // Split, the tail would pass for a comment and the line be lost.
        const Reading too_long = read_bytes_as("x\n" + longer + "\ny\n", 0, type);
        EXPECT_EQ(FU_ERROR_LINE_TOO_LONG, too_long.result);
        EXPECT_EQ(Lines{L"x"}, too_long.lines);
    }
}
