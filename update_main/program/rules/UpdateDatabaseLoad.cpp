// Reading the rule database text, section by section, with every count,
// marker and index check; the first breach ends the load.
#include <algorithm>

#include "messages/NewlineMarks.h"
#include "rules/RuleTextReader.h"
#include "rules/UpdateDatabase.h"

namespace {

constexpr int kMaxProbability = 100;
constexpr int kMaxHour = 12;

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

bool ReadCount(RuleTextReader& in, int maximum, int& count) { return in.ReadInt(count) && InRange(count, 0, maximum); }

bool ReadMarker(RuleTextReader& in, int marker) {
    int value = 0;
    return in.ReadInt(value) && value == marker;
}

// The lines 1..count that follow a count; the rest of the count's own line
// is dropped first and entry 0 is the empty text. `take` stores a line and
// says whether it is acceptable.
template <typename Take>
bool ReadNumberedLines(RuleTextReader& in, int count, std::vector<std::wstring>& lines, Take take) {
    in.SkipRestOfLine();
    lines.assign(static_cast<std::size_t>(count) + 1, std::wstring());
    for (int n = 1; n <= count; ++n) {
        std::wstring line;
        if (!in.ReadLine(line) || !take(line, lines[static_cast<std::size_t>(n)])) return false;
    }
    return true;
}

void ReadVersionWords(RuleTextReader& in, ProductVersion& version) {
    in.ReadUnsigned(version.major);
    in.ReadUnsigned(version.minor);
    in.ReadUnsigned(version.sub_minor);
}

}  // namespace

bool ReadRule(RuleTextReader& in, UpdateRule& rule) {
    // The reader fails for good at its first bad number, so the numbers are
    // read in one go and the outcome looked at once.
    for (int& kind : rule.kind) in.ReadInt(kind);
    for (int n = 0; n < 2; ++n) {
        ReadVersionWords(in, rule.client[n]);
        in.ReadInt(rule.op[0][n]);
    }
    in.ReadUnsigned(rule.os[0].major);
    in.ReadUnsigned(rule.os[0].minor);
    int wow64 = 0;
    in.ReadInt(wow64);
    rule.os[0].wow64 = static_cast<std::uint32_t>(wow64);
    in.ReadInt(rule.op[1][0]);
    for (int n = 0; n < 2; ++n) {
        in.ReadUnsigned(rule.os[n].sp_major);
        in.ReadUnsigned(rule.os[n].sp_minor);
        in.ReadInt(rule.op[2][n]);
    }
    for (int n = 0; n < 2; ++n) {
        for (std::uint32_t& word : rule.attr4[n]) in.ReadUnsigned(word);
        in.ReadInt(rule.op[3][n]);
    }
    for (int n = 0; n < 2; ++n) {
        for (std::uint32_t& word : rule.attr5[n]) in.ReadUnsigned(word);
        in.ReadInt(rule.op[4][n]);
    }
    in.ReadInt(rule.url_index);
    in.ReadInt(rule.action);
    in.ReadInt(rule.message_index);
    in.ReadInt(rule.next);
    int marker = 0;
    in.ReadInt(marker);
    return in.ok() && marker == kRuleEndMarker;
}

bool UpdateDatabase::Load(const wchar_t* path) {
    *this = UpdateDatabase();  // a second load starts from nothing
    RuleTextReader in(path);
    if (!in.IsOpen() || !in.ReadLine(db.raw_title)) return false;
    db.title = ExpandNewlineMarks(db.raw_title);
    if (db.raw_title.size() > kMaxExchangeTextChars) return false;
    in.ReadInt(interval_days);
    in.ReadInt(spread_days);
    return ReadRules(in) && ReadMessages(in) && ReadUrls(in) && ReadCommands(in) && ReadTrailer(in) &&
           IndexesInRange();
}

bool UpdateDatabase::ReadRules(RuleTextReader& in) {
    int count = 0;
    if (!ReadCount(in, kMaxRules, count)) return false;
    rule_count = count;
    // Every field starts at zero, so nothing is ever used unset.
    db.rules.assign(static_cast<std::size_t>(count), UpdateRule{});
    return std::all_of(db.rules.begin(), db.rules.end(), [&in](UpdateRule& rule) { return ReadRule(in, rule); });
}

bool UpdateDatabase::ReadMessages(RuleTextReader& in) {
    int count = 0;
    if (!ReadCount(in, kMaxMessages, count)) return false;
    message_count = count;
    return ReadNumberedLines(in, count, db.messages, [](const std::wstring& line, std::wstring& message) {
        message = ExpandNewlineMarks(line);
        return true;
    });
}

bool UpdateDatabase::ReadUrls(RuleTextReader& in) {
    int count = 0;
    if (!ReadMarker(in, kUrlsMarker) || !ReadCount(in, kMaxUrls, count)) return false;
    url_count = count;
    return ReadNumberedLines(in, count, db.urls, [](const std::wstring& line, std::wstring& url) {
        url = line;
        return !url.empty() && url.size() <= kMaxUrlChars;
    });
}

bool UpdateDatabase::ReadCommands(RuleTextReader& in) {
    int count = 0;
    if (!ReadMarker(in, kCommandsMarker) || !ReadCount(in, kMaxCommands, count)) return false;
    command_count = count;
    in.SkipRestOfLine();
    db.commands.assign(static_cast<std::size_t>(count), CommandEntry{});
    for (CommandEntry& command : db.commands) {
        in.ReadUnsigned(command.major);
        in.ReadUnsigned(command.minor);
        in.ReadUnsigned(command.sub_minor);
        in.SkipRestOfLine();
        if (!in.ReadLine(command.text) || !CheckCommandText(command.text)) return false;
    }
    return JoinCommands().size() <= kMaxJoinedCommandsChars;
}

bool UpdateDatabase::ReadTrailer(RuleTextReader& in) {
    DatabaseTrailer& trailer = db.trailer;
    // A negative hour is accepted as it is.
    return ReadMarker(in, kTrailerMarker) && in.ReadInt(trailer.probability) &&
           InRange(trailer.probability, 0, kMaxProbability) && in.ReadInt(trailer.hour) && trailer.hour <= kMaxHour &&
           ReadMarker(in, kEndMarker);
}

bool UpdateDatabase::IndexesInRange() const {
    return std::all_of(db.rules.begin(), db.rules.end(), [this](const UpdateRule& rule) {
        return InRange(rule.message_index, 0, message_count) && InRange(rule.url_index, 0, url_count);
    });
}
