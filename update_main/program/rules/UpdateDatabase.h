#pragma once
// The update-rule database: the deciphered text that says which messages the
// user sees, which client setup is downloaded, which uninstall commands the
// secondary program runs and when the next check is due. Loaded once from
// its text file, then run as a small rule program against the environment.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "environment/EnvironmentInfo.h"
#include "framework/CString.h"

class RuleTextReader;

// What the format allows at most.
inline constexpr int kMaxRules = 300;
inline constexpr int kMaxMessages = 300;
inline constexpr int kMaxUrls = 100;
inline constexpr int kMaxCommands = 100;

// The secondary program reads [Command] uninst and dURL and [Message] common
// into 260-character buffers and [Command] uninst_all into 2600: a longer
// title, URL, command or command list would reach it cut, and a cut uninstall
// command runs something other than what was meant. Such a database is
// refused instead.
inline constexpr std::size_t kMaxExchangeTextChars = 259;
inline constexpr std::size_t kMaxJoinedCommandsChars = 2599;
// dURL is written between double quotes, and the profile reader may cut the
// quoted value to its buffer before it drops them: the opening quote takes
// one of the 259 characters.
inline constexpr std::size_t kMaxUrlChars = kMaxExchangeTextChars - 1;

// An evaluation is in one of 2 * kMaxRules states (the rule at hand, and
// whether an action-1 or action-2 rule has fired): a run that takes more
// steps has met a state twice and would go round for ever.
inline constexpr int kMaxEvaluationSteps = 2 * kMaxRules;

// The rule markers and the section markers, in file order.
inline constexpr int kRuleEndMarker = 9999;
inline constexpr int kUrlsMarker = 7777;
inline constexpr int kCommandsMarker = 5555;
inline constexpr int kTrailerMarker = 3333;
inline constexpr int kEndMarker = 2222;

// One uninstall command and the client version it belongs to.
struct CommandEntry {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t sub_minor = 0;
    std::wstring text;
};

// One rule: up to five attribute tests, and what happens when all pass.
// Attribute n (1-5) uses kind[n-1] and op[n-1][0..1].
struct UpdateRule {
    int kind[5] = {};   // 1 single comparison, 2 range, else not tested
    int op[5][2] = {};  // 1 equal, 2 greater, 3 less, 4 not less, 5 not greater, else always
    ProductVersion client[2];  // attribute 1: major, minor, sub_minor
    OsVersion os[2];  // attribute 2: os[0] major, minor, wow64; attribute 3: sp_major, sp_minor of both
    std::uint32_t attr4[2][3] = {};
    std::uint32_t attr5[2][4] = {};
    int url_index = 0;      // 0: none; else the URL that becomes dURL
    int action = 0;         // 1 first text, 2 second text, 3 first text after a 1 or 2
    int next = 0;           // 0 or less: stop; else the 1-based rule to go on with
    int message_index = 0;  // 0: the empty message
};

struct DatabaseTrailer {
    int probability = 0;  // 0-100
    int hour = 0;         // at most 12
};

// The loaded content.
struct _DB {
    virtual ~_DB() = default;

    std::vector<UpdateRule> rules;
    std::wstring title;      // the first line with "(NL)" turned into line feeds, for the dialogs
    std::wstring raw_title;  // the first line as read, for the exchange file
    std::vector<std::wstring> messages;  // [0] empty, then the message lines, "(NL)" expanded
    std::vector<std::wstring> urls;      // [0] empty, then the URL lines as read
    std::vector<CommandEntry> commands;
    DatabaseTrailer trailer;
};

class UpdateDatabase {
public:
    // Reads and checks the whole text file. False on any breach of the format
    // or of an index, leaving what was read before it.
    bool Load(const wchar_t* path);

    // Runs the rule program: appends the fired rules' messages to `first`
    // and `second`, and sets env.dURL from the last fired rule that names a
    // URL. A rule program that would never end changes nothing and gives
    // false.
    bool Evaluate(EnvironmentInfo& env, CString& first, CString& second) const;

    // [Command] uninst_all: " ;" and the text of each command, in order.
    std::wstring JoinCommands() const;

    int rule_count = 0;
    int message_count = 0;
    int url_count = 0;
    int command_count = 0;
    int interval_days = 0;  // days from today to the next check
    int spread_days = 0;    // random extra days below this (at least 1)
    _DB db;

private:
    bool ReadRules(RuleTextReader& in);
    bool ReadMessages(RuleTextReader& in);
    bool ReadUrls(RuleTextReader& in);
    bool ReadCommands(RuleTextReader& in);
    bool ReadTrailer(RuleTextReader& in);
    bool IndexesInRange() const;
};

// False for a command text that the secondary program must not pass on to
// MsiExec: a shell character ("|", "&", "<", ">"), the separator of the
// command list (";"), a double quote or a control character, or more
// characters than the exchange file carries.
bool CheckCommandText(const std::wstring& text);

// The 46 numbers of one rule; true when they were read and the last is 9999.
bool ReadRule(RuleTextReader& in, UpdateRule& rule);

// True when every attribute test of the rule holds for the environment.
bool MatchRule(const UpdateRule& rule, const EnvironmentInfo& env);
