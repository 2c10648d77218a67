// Evaluating the rule program against chosen environments: the attribute
// tests and their operators, the actions, the jumps, and the bound that
// stops a rule program that would never end.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "RuleDatabaseText.h"
#include "rules/UpdateDatabase.h"

namespace {

// The client 6.2.0 on Windows 6.1 SP 1.0, as a 32-bit program on 64-bit
// Windows sees it.
EnvironmentInfo Environment(std::uint32_t wow64 = 1) {
    EnvironmentInfo env;
    env.installed.major = 6, env.installed.minor = 2, env.installed.sub_minor = 0;
    env.os.major = 6, env.os.minor = 1, env.os.sp_major = 1, env.os.sp_minor = 0, env.os.wow64 = wow64;
    return env;
}

const wchar_t kUrl1[] = L"https://update.zrv.co.jp/velmo/6.3.0/VelmoSetup.exe";
const wchar_t kUrl2[] = L"https://update.zrv.co.jp/velmo/7.0.0/VelmoSetup.exe";

DatabaseText WithRules(std::vector<RuleText> rules) {
    DatabaseText text;
    text.rules = std::move(rules);
    text.messages = {L"新しいバージョンがあります。", L"ルート証明書を更新します。", L"再起動してください。"};
    text.urls = {kUrl1, kUrl2};
    return text;
}

struct Outcome {
    bool ok = false;
    std::wstring first;
    std::wstring second;
    std::wstring url;
};

class UpdateDatabaseEvaluate : public ::testing::Test {
protected:
    Outcome Run(const DatabaseText& text, EnvironmentInfo env = Environment(), const wchar_t* first = L"",
                const wchar_t* second = L"") {
        UpdateDatabase db;
        EXPECT_TRUE(files.Load(db, text)) << "the rules do not load";
        CString firstText(first), secondText(second);
        Outcome outcome;
        outcome.ok = db.Evaluate(env, firstText, secondText);
        outcome.first = firstText.str();
        outcome.second = secondText.str();
        outcome.url = env.dURL;
        return outcome;
    }

    DatabaseFiles files;
};

// Rule value `n` of attribute 1, 2 or 3: client words, Windows major and
// minor (with the environment's WOW64 flag), or service-pack words.
void SetValue(RuleText& rule, int attribute, int n, std::uint32_t a, std::uint32_t b, std::uint32_t c = 0) {
    if (attribute == 1) rule.client[n][0] = a, rule.client[n][1] = b, rule.client[n][2] = c;
    if (attribute == 2) rule.windows[0] = a, rule.windows[1] = b, rule.wow64 = 1;
    if (attribute == 3) rule.service_pack[n][0] = a, rule.service_pack[n][1] = b;
}

// A rule that puts message 1 into the first text when its one test holds.
RuleText TestingRule(int attribute, int kind, int op, std::uint32_t a, std::uint32_t b, std::uint32_t c = 0) {
    RuleText rule = FiringRule(1, 1);
    rule.kind[attribute - 1] = kind;
    rule.op[attribute - 1][0] = op;
    SetValue(rule, attribute, 0, a, b, c);
    return rule;
}

const std::wstring kHit = L"新しいバージョンがあります。\n";

struct OperatorCase {
    int op;
    bool whenLess, whenEqual, whenGreater;  // environment against rule value
};

const OperatorCase kOperators[] = {
    {1, false, true, false}, {2, false, false, true}, {3, true, false, false}, {4, false, true, true},
    {5, true, true, false},  {0, true, true, true},   {6, true, true, true},   {-1, true, true, true},
};

TEST_F(UpdateDatabaseEvaluate, EveryOperatorOnEachComparedAttribute) {
    // Rule values above, equal to and below the environment: the client is
    // 6.2.0, Windows 6.1, service pack 1.0. The first unequal word decides.
    const struct {
        int attribute;
        std::uint32_t above[3], equal[3], below[3];
    } attributes[] = {
        {1, {6, 2, 1}, {6, 2, 0}, {6, 1, 9}},
        {2, {6, 2}, {6, 1}, {5, 3}},
        {3, {1, 1}, {1, 0}, {0, 9}},
    };
    for (const auto& a : attributes) {
        for (const OperatorCase& o : kOperators) {
            const std::uint32_t* values[] = {a.above, a.equal, a.below};
            const bool holds[] = {o.whenLess, o.whenEqual, o.whenGreater};
            for (int v = 0; v < 3; ++v) {
                const std::uint32_t* w = values[v];
                const Outcome out = Run(WithRules({TestingRule(a.attribute, 1, o.op, w[0], w[1], w[2])}));
                EXPECT_EQ(out.first, holds[v] ? kHit : L"")
                    << "attribute " << a.attribute << " op " << o.op << " value " << w[0] << "." << w[1];
            }
        }
    }
}

TEST_F(UpdateDatabaseEvaluate, WordsCompareAsUnsignedNumbers) {
    // "-1" in the file is the word 4294967295, above every version.
    DatabaseText text = WithRules({TestingRule(1, 1, 3, 6, 0, 0)});
    std::string bytes = text.Bytes();
    const std::size_t at = bytes.find("1 0 0 0 0 6 0 0 3");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 17, "1 0 0 0 0 6 -1 0 3");
    UpdateDatabase db;
    ASSERT_TRUE(files.Load(db, bytes));
    EnvironmentInfo env = Environment();
    CString first, second;
    ASSERT_TRUE(db.Evaluate(env, first, second));
    EXPECT_EQ(first.str(), kHit) << "6.2.0 is below 6.4294967295.0";
}

TEST_F(UpdateDatabaseEvaluate, WindowsTestNeedsTheSameWow64Flag) {
    for (const int op : {0, 1, 2, 3, 4, 5, 6}) {
        // The rule asks for WOW64, the environment has none: never.
        EXPECT_EQ(Run(WithRules({TestingRule(2, 1, op, 6, 1)}), Environment(0)).first, L"") << "op " << op;
        // The rule asks for a native process, the environment runs under WOW64.
        RuleText native = TestingRule(2, 1, op, 6, 1);
        native.wow64 = 0;
        EXPECT_EQ(Run(WithRules({native})).first, L"") << "op " << op;
    }
    EXPECT_EQ(Run(WithRules({TestingRule(2, 1, 0, 6, 1)}), Environment(1)).first, kHit);
}

TEST_F(UpdateDatabaseEvaluate, RangesNeedBothComparisons) {
    auto range = [](int attribute, int op1, std::vector<std::uint32_t> v1, int op2, std::vector<std::uint32_t> v2) {
        RuleText rule = TestingRule(attribute, 2, op1, v1[0], v1[1], v1[2]);
        rule.op[attribute - 1][1] = op2;
        SetValue(rule, attribute, 1, v2[0], v2[1], v2[2]);
        return rule;
    };
    const struct {
        const char* name;
        RuleText rule;
        bool fires;
    } cases[] = {
        {"client 6.1.0 <= 6.2.0 < 6.3.0", range(1, 4, {6, 1, 0}, 3, {6, 3, 0}), true},
        {"client 6.2.1 <= 6.2.0 fails", range(1, 4, {6, 2, 1}, 3, {6, 3, 0}), false},
        {"client 6.2.0 < 6.2.0 fails", range(1, 4, {6, 1, 0}, 3, {6, 2, 0}), false},
        {"service pack 1.0 <= 1.0 < 2.0", range(3, 4, {1, 0, 0}, 3, {2, 0, 0}), true},
        {"service pack 1.0 < 1.0 fails", range(3, 4, {0, 0, 0}, 3, {1, 0, 0}), false},
        {"service pack above 1.0 fails", range(3, 2, {1, 0, 0}, 0, {0, 0, 0}), false},
        // Windows has one value in the text: a range on it is that comparison.
        {"Windows range equal to 6.1", TestingRule(2, 2, 1, 6, 1), true},
        {"Windows range equal to 6.0", TestingRule(2, 2, 1, 6, 0), false},
    };
    for (const auto& c : cases) EXPECT_EQ(Run(WithRules({c.rule})).first, c.fires ? kHit : L"") << c.name;
}

TEST_F(UpdateDatabaseEvaluate, Attributes4And5NeverHoldWhenTested) {
    for (const int attribute : {4, 5}) {
        for (const int kind : {1, 2}) {
            for (const int op : {0, 1, 4, 5}) {
                RuleText rule = FiringRule(1, 1);
                rule.kind[attribute - 1] = kind;
                rule.op[attribute - 1][0] = rule.op[attribute - 1][1] = op;
                EXPECT_EQ(Run(WithRules({rule})).first, L"")
                    << "attribute " << attribute << " kind " << kind << " op " << op;
            }
        }
        for (const int kind : {0, 3, -1}) {
            RuleText rule = FiringRule(1, 1);
            rule.kind[attribute - 1] = kind;
            EXPECT_EQ(Run(WithRules({rule})).first, kHit) << "attribute " << attribute << " kind " << kind;
        }
    }
}

TEST_F(UpdateDatabaseEvaluate, OtherKindsDoNotTest) {
    for (const int kind : {0, 3, -1}) {
        EXPECT_EQ(Run(WithRules({TestingRule(1, kind, 1, 9, 9, 9)})).first, kHit) << "kind " << kind;
        EXPECT_EQ(Run(WithRules({TestingRule(2, kind, 1, 9, 9)}), Environment(0)).first, kHit) << "kind " << kind;
    }
}

TEST_F(UpdateDatabaseEvaluate, Action3BeforeAnyMessageRuleDoesNotFire) {
    // Rule 1 matches, but nothing has fired yet: its URL and its jump past
    // rule 2 are not taken.
    const Outcome out = Run(WithRules({FiringRule(3, 1, 1, 3), FiringRule(1, 2), FiringRule(2, 3)}));
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.first, L"ルート証明書を更新します。\n");
    EXPECT_EQ(out.second, L"");
    EXPECT_EQ(out.url, L"");
}

TEST_F(UpdateDatabaseEvaluate, BackwardJumpRevisitsAnEarlierRule) {
    // Rule 1 (action 3) is passed over, rule 2 fires and sends evaluation
    // back to rule 1, which now fires and stops.
    const Outcome out = Run(WithRules({FiringRule(3, 1, 2, 0), FiringRule(1, 2, 1, 1)}));
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.first, L"ルート証明書を更新します。\n新しいバージョンがあります。\n");
    EXPECT_EQ(out.url, kUrl2);
}

TEST_F(UpdateDatabaseEvaluate, JumpsSkipStopAndEnd) {
    const struct {
        const char* name;
        std::vector<RuleText> rules;
        std::wstring first, second;
    } cases[] = {
        {"next 3 skips rule 2", {FiringRule(1, 1, 0, 3), FiringRule(1, 2), FiringRule(2, 3)}, kHit,
         L"再起動してください。\n"},
        {"next beyond the rules ends", {FiringRule(1, 1, 0, 7), FiringRule(2, 2)}, kHit, L""},
        {"negative next stops", {FiringRule(1, 1, 0, -4), FiringRule(2, 2)}, kHit, L""},
        {"a rule that does not match goes on to the next", {TestingRule(1, 1, 1, 9, 9, 9), FiringRule(2, 2)}, L"",
         L"ルート証明書を更新します。\n"},
    };
    for (const auto& c : cases) {
        const Outcome out = Run(WithRules(c.rules));
        EXPECT_EQ(out.first, c.first) << c.name;
        EXPECT_EQ(out.second, c.second) << c.name;
    }
}

TEST_F(UpdateDatabaseEvaluate, MessagesAreAppendedInFiringOrder) {
    const Outcome out = Run(WithRules({FiringRule(1, 1, 0, 2), FiringRule(2, 2, 0, 3), FiringRule(3, 0, 0, 4),
                                       FiringRule(1, 3, 0, 5), FiringRule(2, 1, 0, 6), FiringRule(1, 0)}),
                            Environment(), L"前の文\n", L"別の文\n");
    EXPECT_EQ(out.first, L"前の文\n新しいバージョンがあります。\n再起動してください。\n\n");
    EXPECT_EQ(out.second, L"別の文\nルート証明書を更新します。\n新しいバージョンがあります。\n");
}

TEST_F(UpdateDatabaseEvaluate, OtherActionsTakeUrlAndJumpButNoText) {
    // Action 0 fires without text and does not count as a message rule, so
    // the action-3 rule after it stays silent.
    const Outcome out = Run(WithRules({FiringRule(0, 1, 1, 3), FiringRule(1, 1), FiringRule(3, 2)}));
    EXPECT_EQ(out.first, L"");
    EXPECT_EQ(out.url, kUrl1);
    EXPECT_EQ(Run(WithRules({FiringRule(4, 1, 2)})).url, kUrl2);
}

TEST_F(UpdateDatabaseEvaluate, TheLastFiredRuleNamingAUrlSetsIt) {
    EXPECT_EQ(Run(WithRules({FiringRule(1, 1, 1, 2), FiringRule(1, 2, 2, 3), FiringRule(2, 3, 0, 0)})).url, kUrl2);
    // Action 3 with an empty message still takes its URL.
    EXPECT_EQ(Run(WithRules({FiringRule(1, 1, 2, 2), FiringRule(3, 0, 1)})).url, kUrl1);
    EnvironmentInfo env = Environment();
    env.dURL = L"https://earlier.example/setup.exe";
    EXPECT_EQ(Run(WithRules({FiringRule(1, 1)}), env).url, L"https://earlier.example/setup.exe");
}

TEST_F(UpdateDatabaseEvaluate, ARuleProgramThatNeverEndsGivesNothing) {
    const struct {
        const char* name;
        std::vector<RuleText> rules;
    } cases[] = {
        {"a rule jumping to itself", {FiringRule(1, 1, 1, 1)}},
        {"two rules jumping to each other", {FiringRule(3, 1, 1, 2), FiringRule(1, 2, 2, 1)}},
        {"a loop behind a skipped action-3 rule", {FiringRule(3, 1), FiringRule(2, 3, 2, 3), FiringRule(0, 0, 1, 2)}},
    };
    for (const auto& c : cases) {
        EnvironmentInfo env = Environment();
        const Outcome out = Run(WithRules(c.rules), env, L"前の文\n", L"");
        EXPECT_FALSE(out.ok) << c.name;
        EXPECT_EQ(out.first, L"前の文\n") << c.name;
        EXPECT_EQ(out.second, L"") << c.name;
        EXPECT_EQ(out.url, L"") << c.name;
    }
}

TEST_F(UpdateDatabaseEvaluate, TheLongestEndingRunIsNotCutShort) {
    // 300 rules, 599 steps: rules 1-299 (action 3) are passed over, rule 300
    // fires and jumps back to rule 1, then rules 1-299 fire one after the
    // other and rule 299 stops.
    std::vector<RuleText> rules;
    for (int n = 1; n <= 299; ++n) rules.push_back(FiringRule(3, 1, 0, n == 299 ? 0 : n + 1));
    rules.push_back(FiringRule(1, 1, 1, 1));
    const Outcome out = Run(WithRules(rules));
    EXPECT_TRUE(out.ok);
    std::wstring expected;
    for (int n = 0; n < 300; ++n) expected += kHit;
    EXPECT_EQ(out.first, expected);
    EXPECT_EQ(out.url, kUrl1);
}

TEST_F(UpdateDatabaseEvaluate, AnEmptyDatabaseAddsNothing) {
    UpdateDatabase never;
    EnvironmentInfo env = Environment();
    CString first(L"前の文"), second;
    EXPECT_TRUE(never.Evaluate(env, first, second));
    EXPECT_EQ(first.str(), L"前の文");
    EXPECT_EQ(env.dURL, L"");
    EXPECT_EQ(never.JoinCommands(), L"");
    EXPECT_EQ(Run(WithRules({})).first, L"");
}

TEST_F(UpdateDatabaseEvaluate, AHandWrittenFileAsTheServerSendsIt) {
    // One rule, "client equal to 6.2.0", with message 1 and URL 1; the
    // message is "更新(NL)OK" in code page 932 bytes.
    const std::string bytes =
        "\x8d\x58\x90\x56\r\n"
        "7 1\r\n"
        "1\r\n"
        "1 0 0 0 0  6 2 0 1  0 0 0 0  6 1 1 0  0 0 0  0 0 0  0 0 0 0  0 0 0 0  0 0 0 0 0  0 0 0 0 0  1 1 1 0 9999\r\n"
        "1\r\n"
        "\x8d\x58\x90\x56(NL)OK\r\n"
        "7777\r\n1\r\nhttps://update.zrv.co.jp/setup.exe\r\n"
        "5555\r\n1\r\n6 1 0\r\n/x {A} /qn\r\n"
        "3333\r\n10 5\r\n2222\r\n";
    UpdateDatabase db;
    ASSERT_TRUE(files.Load(db, bytes));
    EXPECT_EQ(db.db.title, L"更新");
    for (const std::uint32_t sub_minor : {0u, 1u}) {
        EnvironmentInfo env = Environment();
        env.installed.sub_minor = sub_minor;
        CString first, second;
        ASSERT_TRUE(db.Evaluate(env, first, second));
        EXPECT_EQ(first.str(), sub_minor == 0 ? L"更新\nOK\n" : L"");
        EXPECT_EQ(env.dURL, sub_minor == 0 ? L"https://update.zrv.co.jp/setup.exe" : L"");
    }
    EXPECT_EQ(db.JoinCommands(), L" ;/x {A} /qn");
    EXPECT_EQ(db.db.trailer.probability, 10);
    EXPECT_EQ(db.db.trailer.hour, 5);
}

}  // namespace
