#pragma once
// Rule database texts for the tests, written out as the server's files are:
// code-page-932 bytes, CR LF line ends, the numbers in the order the format
// lays them out. Counts and markers can be set apart from the content, so
// that broken files can be made as easily as good ones.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rules/UpdateDatabase.h"
#include "support/temp_folder.h"

// One rule, field by field.
struct RuleText {
    int kind[5] = {};
    int op[5][2] = {};
    std::uint32_t client[2][3] = {};
    std::uint32_t windows[2] = {};  // major, minor
    int wow64 = 0;
    std::uint32_t service_pack[2][2] = {};
    std::uint32_t attr4[2][3] = {};
    std::uint32_t attr5[2][4] = {};
    int url_index = 0;
    int action = 0;
    int message_index = 0;
    int next = 0;
    std::string marker = "9999";
};

// A rule that always fires (no attribute tested) with this action, message,
// URL and next rule.
RuleText FiringRule(int action, int message_index, int url_index = 0, int next = 0);

struct DatabaseText {
    std::wstring title = L"「Velmoご利用ソフト」更新のお知らせ";
    int interval_days = 7;
    int spread_days = 3;
    std::vector<RuleText> rules;
    std::vector<std::wstring> messages;
    std::vector<std::wstring> urls;
    std::vector<CommandEntry> commands;
    std::string probability = "50";
    std::string hour = "3";

    // Written in place of the number of entries when set.
    std::optional<std::string> rule_count, message_count, url_count, command_count;
    std::string urls_marker = "7777";
    std::string commands_marker = "5555";
    std::string trailer_marker = "3333";
    std::string end_marker = "2222";
    // What follows the counts of messages, URLs and commands and the numbers
    // of each command on their lines (the reader drops it).
    std::string after_count;
    // Between the numbers of a rule, and at the end of each line.
    std::string rule_separator = " ";
    std::string line_end = "\r\n";

    std::string Bytes() const;
};

// The text in code page 932.
std::string ToCp932(const std::wstring& text);

// Loads bytes written to a file of their own.
class DatabaseFiles {
public:
    bool Load(UpdateDatabase& db, const std::string& bytes);
    bool Load(UpdateDatabase& db, const DatabaseText& text) { return Load(db, text.Bytes()); }
    std::wstring operator/(const std::wstring& name) const { return m_folder / name; }

private:
    testing_support::TempFolder m_folder;
};
