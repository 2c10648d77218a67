// Loading the rule database: what a good file gives, and every breach that
// makes the load fail (which the flow reports as K601).
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "RuleDatabaseText.h"
#include "rules/UpdateDatabase.h"

namespace {

const wchar_t kSetup630[] = L"https://update.zrv.co.jp/velmo/6.3.0/VelmoSetup.exe";
const wchar_t kUninstall610[] = L"/x {6B0F4A5E-3C1D-4B8E-9A2F-610000000000} /qn";
const wchar_t kUninstall620[] = L"/x {6B0F4A5E-3C1D-4B8E-9A2F-620000000000} /qn";

DatabaseText Sample() {
    DatabaseText text;
    text.title = L"「Velmoご利用ソフト」更新のお知らせ(NL)内容をご確認ください";
    text.interval_days = 14;
    text.spread_days = 5;
    text.rules = {FiringRule(1, 1, 1, 2), FiringRule(2, 2)};
    text.messages = {L"新しいバージョンがあります。(NL)更新してください。", L"ルート証明書を更新します。"};
    text.urls = {kSetup630, L"https://update.zrv.co.jp/velmo/6.2.1/VelmoSetup.exe"};
    text.commands = {{6, 1, 0, kUninstall610}, {6, 2, 0, kUninstall620}};
    text.probability = "30";
    text.hour = "-2";
    return text;
}

std::wstring Repeat(const wchar_t* piece, std::size_t times) {
    std::wstring text;
    for (std::size_t n = 0; n < times; ++n) text += piece;
    return text;
}

std::wstring Letters(std::size_t count) { return std::wstring(count, L'a'); }

class UpdateDatabaseLoad : public ::testing::Test {
protected:
    DatabaseFiles files;
};

TEST_F(UpdateDatabaseLoad, GivesEveryPartOfTheFile) {
    UpdateDatabase db;
    ASSERT_TRUE(files.Load(db, Sample()));
    EXPECT_EQ(db.db.raw_title, L"「Velmoご利用ソフト」更新のお知らせ(NL)内容をご確認ください");
    EXPECT_EQ(db.db.title, L"「Velmoご利用ソフト」更新のお知らせ\n内容をご確認ください");
    EXPECT_EQ(db.interval_days, 14);
    EXPECT_EQ(db.spread_days, 5);
    EXPECT_EQ(db.rule_count, 2);
    ASSERT_EQ(db.db.rules.size(), 2u);
    EXPECT_EQ(db.db.rules[0].next, 2);
    EXPECT_EQ(db.message_count, 2);
    EXPECT_EQ(db.db.messages,
              (std::vector<std::wstring>{L"", L"新しいバージョンがあります。\n更新してください。", L"ルート証明書を更新します。"}));
    EXPECT_EQ(db.url_count, 2);
    EXPECT_EQ(db.db.urls,
              (std::vector<std::wstring>{L"", kSetup630, L"https://update.zrv.co.jp/velmo/6.2.1/VelmoSetup.exe"}));
    EXPECT_EQ(db.command_count, 2);
    ASSERT_EQ(db.db.commands.size(), 2u);
    EXPECT_EQ(db.db.commands[1].major, 6u);
    EXPECT_EQ(db.db.commands[1].minor, 2u);
    EXPECT_EQ(db.db.commands[1].sub_minor, 0u);
    EXPECT_EQ(db.db.commands[1].text, kUninstall620);
    EXPECT_EQ(db.JoinCommands(), std::wstring(L" ;") + kUninstall610 + L" ;" + kUninstall620);
    EXPECT_EQ(db.db.trailer.probability, 30);
    EXPECT_EQ(db.db.trailer.hour, -2);
}

TEST_F(UpdateDatabaseLoad, ReadsTheFieldsOfARuleFromTheirPositions) {
    // Each of the 46 numbers a value of its own, so a field read from the
    // wrong position shows.
    RuleText rule;
    int value = 1;
    for (int& kind : rule.kind) kind = value++;
    rule.client[0][0] = 6, rule.client[0][1] = 7, rule.client[0][2] = 8, rule.op[0][0] = 9;
    rule.client[1][0] = 10, rule.client[1][1] = 11, rule.client[1][2] = 12, rule.op[0][1] = 13;
    rule.windows[0] = 14, rule.windows[1] = 15, rule.wow64 = -16, rule.op[1][0] = 17;
    rule.service_pack[0][0] = 18, rule.service_pack[0][1] = 19, rule.op[2][0] = 20;
    rule.service_pack[1][0] = 21, rule.service_pack[1][1] = 22, rule.op[2][1] = 23;
    rule.attr4[0][0] = 24, rule.attr4[0][1] = 25, rule.attr4[0][2] = 26, rule.op[3][0] = 27;
    rule.attr4[1][0] = 28, rule.attr4[1][1] = 29, rule.attr4[1][2] = 30, rule.op[3][1] = 31;
    rule.attr5[0][0] = 32, rule.attr5[0][1] = 33, rule.attr5[0][2] = 34, rule.attr5[0][3] = 35, rule.op[4][0] = 36;
    rule.attr5[1][0] = 37, rule.attr5[1][1] = 38, rule.attr5[1][2] = 39, rule.attr5[1][3] = 40, rule.op[4][1] = 41;
    rule.url_index = 2, rule.action = 43, rule.message_index = 1, rule.next = 45;
    DatabaseText text = Sample();
    text.rules = {rule};

    UpdateDatabase db;
    ASSERT_TRUE(files.Load(db, text));
    const UpdateRule& r = db.db.rules.at(0);
    EXPECT_EQ((std::vector<int>(r.kind, r.kind + 5)), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ((std::vector<std::uint32_t>{r.client[0].major, r.client[0].minor, r.client[0].sub_minor,
                                          r.client[1].major, r.client[1].minor, r.client[1].sub_minor}),
              (std::vector<std::uint32_t>{6, 7, 8, 10, 11, 12}));
    EXPECT_EQ((std::vector<int>{r.op[0][0], r.op[0][1], r.op[1][0], r.op[2][0], r.op[2][1], r.op[3][0], r.op[3][1],
                                r.op[4][0], r.op[4][1]}),
              (std::vector<int>{9, 13, 17, 20, 23, 27, 31, 36, 41}));
    EXPECT_EQ(r.os[0].major, 14u);
    EXPECT_EQ(r.os[0].minor, 15u);
    EXPECT_EQ(r.os[0].wow64, static_cast<std::uint32_t>(-16));
    EXPECT_EQ((std::vector<std::uint32_t>{r.os[0].sp_major, r.os[0].sp_minor, r.os[1].sp_major, r.os[1].sp_minor}),
              (std::vector<std::uint32_t>{18, 19, 21, 22}));
    EXPECT_EQ((std::vector<std::uint32_t>(&r.attr4[0][0], &r.attr4[0][0] + 6)),
              (std::vector<std::uint32_t>{24, 25, 26, 28, 29, 30}));
    EXPECT_EQ((std::vector<std::uint32_t>(&r.attr5[0][0], &r.attr5[0][0] + 8)),
              (std::vector<std::uint32_t>{32, 33, 34, 35, 37, 38, 39, 40}));
    EXPECT_EQ((std::vector<int>{r.url_index, r.action, r.message_index, r.next}), (std::vector<int>{2, 43, 1, 45}));
    // Nothing in the text sets the second Windows version: it stays zero.
    EXPECT_EQ((std::vector<std::uint32_t>{r.os[1].major, r.os[1].minor, r.os[1].wow64}),
              (std::vector<std::uint32_t>{0, 0, 0}));
}

struct LoadCase {
    const char* name;
    std::function<void(DatabaseText&)> change;
    bool loads;
};

// A count of -1 with nothing of its kind in the file and no rule that refers
// to one: only the check of the count itself can fail the load.
template <typename List>
std::function<void(DatabaseText&)> NegativeCount(std::optional<std::string> DatabaseText::*count,
                                                 List DatabaseText::*list) {
    return [count, list](DatabaseText& t) {
        t.rules.clear();
        (t.*list).clear();
        t.*count = "-1";
    };
}

const LoadCase kLoadCases[] = {
    {"the sample", [](DatabaseText&) {}, true},
    {"nothing but the markers",
     [](DatabaseText& t) {
         t.rules.clear();
         t.messages.clear();
         t.urls.clear();
         t.commands.clear();
     },
     true},
    {"300 rules", [](DatabaseText& t) { t.rules.assign(300, FiringRule(1, 1)); }, true},
    {"301 rules", [](DatabaseText& t) { t.rules.assign(301, FiringRule(1, 1)); }, false},
    {"300 messages", [](DatabaseText& t) { t.messages.assign(300, L"お知らせ"); }, true},
    {"301 messages", [](DatabaseText& t) { t.messages.assign(301, L"お知らせ"); }, false},
    {"100 URLs", [](DatabaseText& t) { t.urls.assign(100, kSetup630); }, true},
    {"101 URLs", [](DatabaseText& t) { t.urls.assign(101, kSetup630); }, false},
    {"100 commands", [](DatabaseText& t) { t.commands.assign(100, {6, 1, 0, L"/x {A} /qn"}); }, true},
    {"101 commands", [](DatabaseText& t) { t.commands.assign(101, {6, 1, 0, L"/x {A} /qn"}); }, false},
    {"negative rule count", NegativeCount(&DatabaseText::rule_count, &DatabaseText::rules), false},
    {"negative message count", NegativeCount(&DatabaseText::message_count, &DatabaseText::messages), false},
    {"negative URL count", NegativeCount(&DatabaseText::url_count, &DatabaseText::urls), false},
    {"negative command count", NegativeCount(&DatabaseText::command_count, &DatabaseText::commands), false},
    {"Probability 0", [](DatabaseText& t) { t.probability = "0"; }, true},
    {"Probability 100", [](DatabaseText& t) { t.probability = "100"; }, true},
    {"Probability -1", [](DatabaseText& t) { t.probability = "-1"; }, false},
    {"Probability 101", [](DatabaseText& t) { t.probability = "101"; }, false},
    {"Hour 12", [](DatabaseText& t) { t.hour = "12"; }, true},
    {"Hour 13", [](DatabaseText& t) { t.hour = "13"; }, false},
    {"Hour -5", [](DatabaseText& t) { t.hour = "-5"; }, true},
    {"an empty URL line", [](DatabaseText& t) { t.urls[1].clear(); }, false},
    {"an empty message line", [](DatabaseText& t) { t.messages[0].clear(); }, true},
    {"a message index one past the messages", [](DatabaseText& t) { t.rules[1].message_index = 3; }, false},
    {"the last message index", [](DatabaseText& t) { t.rules[1].message_index = 2; }, true},
    {"a negative message index", [](DatabaseText& t) { t.rules[1].message_index = -1; }, false},
    {"a URL index one past the URLs", [](DatabaseText& t) { t.rules[1].url_index = 3; }, false},
    {"the last URL index", [](DatabaseText& t) { t.rules[1].url_index = 2; }, true},
    {"a negative URL index", [](DatabaseText& t) { t.rules[1].url_index = -1; }, false},
    {"any action and next", [](DatabaseText& t) { t.rules[1].action = -7, t.rules[1].next = 9999; }, true},
    {"a rule ending in 9998", [](DatabaseText& t) { t.rules[1].marker = "9998"; }, false},
    {"a rule without its marker", [](DatabaseText& t) { t.rules[0].marker.clear(); }, false},
    {"7776 for 7777", [](DatabaseText& t) { t.urls_marker = "7776"; }, false},
    {"no 7777", [](DatabaseText& t) { t.urls_marker.clear(); }, false},
    {"5554 for 5555", [](DatabaseText& t) { t.commands_marker = "5554"; }, false},
    {"no 5555", [](DatabaseText& t) { t.commands_marker.clear(); }, false},
    {"3332 for 3333", [](DatabaseText& t) { t.trailer_marker = "3332"; }, false},
    {"no 3333", [](DatabaseText& t) { t.trailer_marker.clear(); }, false},
    {"2221 for 2222", [](DatabaseText& t) { t.end_marker = "2221"; }, false},
    {"no 2222", [](DatabaseText& t) { t.end_marker.clear(); }, false},
    {"a word where a number belongs", [](DatabaseText& t) { t.hour = "three"; }, false},
    {"a sign before a number", [](DatabaseText& t) { t.probability = "+30"; }, true},
    // 2^32 + 30: cut to 32 bits it would be a good Probability.
    {"a signed number beyond 32 bits", [](DatabaseText& t) { t.probability = "4294967326"; }, false},
    {"the largest unsigned word", [](DatabaseText& t) { t.rules[0].attr5[1][3] = 4294967295u; }, true},
    {"text after each count", [](DatabaseText& t) { t.after_count = " (このあとは読まれません)"; }, true},
    {"each rule number on a line of its own", [](DatabaseText& t) { t.rule_separator = "\r\n"; }, true},
    {"line feeds without carriage returns", [](DatabaseText& t) { t.line_end = "\n"; }, true},
};

TEST_F(UpdateDatabaseLoad, BoundariesOfCountsValuesIndexesAndMarkers) {
    for (const LoadCase& c : kLoadCases) {
        DatabaseText text = Sample();
        c.change(text);
        UpdateDatabase db;
        EXPECT_EQ(files.Load(db, text), c.loads) << c.name;
    }
}

TEST_F(UpdateDatabaseLoad, UnsignedWordsWrapAndStopAt32Bits) {
    DatabaseText text = Sample();
    std::string bytes = text.Bytes();
    // The first command's numbers: "-1" wraps as an unsigned word does, one
    // past 2^32 - 1 cannot be read.
    const std::string numbers = "6 1 0";
    const std::size_t at = bytes.find(numbers + "\r\n");
    ASSERT_NE(at, std::string::npos);
    UpdateDatabase db;
    ASSERT_TRUE(files.Load(db, bytes.substr(0, at) + "-1 4294967295 0" + bytes.substr(at + numbers.size())));
    EXPECT_EQ(db.db.commands.at(0).major, 4294967295u);
    EXPECT_EQ(db.db.commands.at(0).minor, 4294967295u);
    EXPECT_FALSE(files.Load(db, bytes.substr(0, at) + "4294967296 1 0" + bytes.substr(at + numbers.size())));
}

TEST_F(UpdateDatabaseLoad, CommandTextsAreCheckedAfterConversion) {
    // The whole character table is CheckCommandText's own test; here the
    // load must apply it to the converted text. The second byte of "ポ" in
    // code page 932 is "|", which a check on the bytes would refuse.
    const struct {
        const wchar_t* text;
        bool loads;
    } cases[] = {
        {L"/x {A} /qn > C:\\Temp\\out.txt", false},
        {L"/x {A} /qn ;/i other.msi", false},
        {L"/x {A} /l*v C:\\ログ\\ポリシー.log", true},
    };
    ASSERT_EQ(ToCp932(L"ポ"), "\x83\x7c");
    for (const auto& c : cases) {
        DatabaseText text = Sample();
        text.commands[1].text = c.text;
        UpdateDatabase db;
        EXPECT_EQ(files.Load(db, text), c.loads) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST_F(UpdateDatabaseLoad, LinesHoldAtMost511Bytes) {
    // Double-byte characters count two bytes each.
    for (const bool longer : {false, true}) {
        DatabaseText text = Sample();
        text.messages[0] = Repeat(L"更", 255) + (longer ? L"新" : L"x");
        UpdateDatabase db;
        EXPECT_EQ(files.Load(db, text), !longer) << "message of " << ToCp932(text.messages[0]).size() << " bytes";
        if (!longer) {
            EXPECT_EQ(db.db.messages[1], text.messages[0]);
        }
    }
}

TEST_F(UpdateDatabaseLoad, TextsTheExchangeFileCarriesFitItsReaders) {
    const struct {
        const char* name;
        std::function<void(DatabaseText&, std::size_t)> set;
        std::size_t longest;
    } cases[] = {
        {"title", [](DatabaseText& t, std::size_t n) { t.title = Letters(n); }, kMaxExchangeTextChars},
        {"URL", [](DatabaseText& t, std::size_t n) { t.urls[0] = L"https://" + Letters(n - 8); }, kMaxUrlChars},
        {"command", [](DatabaseText& t, std::size_t n) { t.commands[0].text = L"/x " + Letters(n - 3); },
         kMaxExchangeTextChars},
        // Ten commands of 257 characters and one more: " ;" before each.
        {"command list",
         [](DatabaseText& t, std::size_t n) {
             t.commands.assign(10, {6, 1, 0, Letters(257)});
             t.commands.push_back({6, 2, 0, Letters(n - 10 * 259 - 2)});
         },
         kMaxJoinedCommandsChars},
    };
    ASSERT_EQ(kMaxExchangeTextChars, 259u);
    ASSERT_EQ(kMaxUrlChars, 258u);
    ASSERT_EQ(kMaxJoinedCommandsChars, 2599u);
    for (const auto& c : cases) {
        for (const std::size_t length : {c.longest, c.longest + 1}) {
            DatabaseText text = Sample();
            c.set(text, length);
            UpdateDatabase db;
            EXPECT_EQ(files.Load(db, text), length == c.longest) << c.name << " of " << length;
        }
    }
}

TEST_F(UpdateDatabaseLoad, EveryCutShortFileFails) {
    const std::string bytes = Sample().Bytes();
    const std::size_t end = bytes.rfind("2222") + 4;
    UpdateDatabase db;
    for (std::size_t length = 0; length < end; ++length)
        EXPECT_FALSE(files.Load(db, bytes.substr(0, length))) << "cut after " << length << " bytes";
    EXPECT_TRUE(files.Load(db, bytes.substr(0, end))) << "the marker is the last thing read";
    EXPECT_TRUE(files.Load(db, bytes + "anything after the end marker\r\n"));
}

// Every text of the file goes on as a C string somewhere: a NUL byte would
// hide what follows it from every check. Anything after the end marker is
// never read.
TEST_F(UpdateDatabaseLoad, ANulByteAnywhereFails) {
    const std::string bytes = Sample().Bytes();
    const std::size_t end = bytes.rfind("2222") + 4;
    UpdateDatabase db;
    for (std::size_t at = 0; at < end; ++at)
        EXPECT_FALSE(files.Load(db, bytes.substr(0, at) + '\0' + bytes.substr(at))) << "NUL before byte " << at;
}

TEST_F(UpdateDatabaseLoad, ANulByteHidesNoTextBehindIt) {
    const struct {
        const char* name;
        std::function<void(DatabaseText&)> set;
    } cases[] = {
        {"a command after the uninstall",
         [](DatabaseText& t) { t.commands[0].text = std::wstring(L"/x {A}") + L'\0' + L" & del /q C:\\*"; }},
        {"a URL over the length limit",
         [](DatabaseText& t) { t.urls[0] = std::wstring(L"https://a/") + L'\0' + Letters(300); }},
    };
    for (const auto& c : cases) {
        DatabaseText text = Sample();
        c.set(text);
        UpdateDatabase db;
        EXPECT_FALSE(files.Load(db, text)) << c.name;
    }
}

TEST_F(UpdateDatabaseLoad, WhatWasReadBeforeAFailureStays) {
    DatabaseText text = Sample();
    text.end_marker = "2221";
    UpdateDatabase db;
    ASSERT_FALSE(files.Load(db, text));
    EXPECT_EQ(db.db.title, L"「Velmoご利用ソフト」更新のお知らせ\n内容をご確認ください");
    EXPECT_EQ(db.command_count, 2);
}

TEST_F(UpdateDatabaseLoad, AMissingFileFails) {
    UpdateDatabase db;
    EXPECT_FALSE(db.Load((files / L"missing.txt").c_str()));
    EXPECT_EQ(db.rule_count, 0);
    EXPECT_TRUE(db.db.rules.empty());
}

}  // namespace
