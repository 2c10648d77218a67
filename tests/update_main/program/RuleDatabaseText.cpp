#include "RuleDatabaseText.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// Numbers in the order a rule lays them out in the file.
std::vector<std::string> RuleNumbers(const RuleText& r) {
    std::vector<std::string> numbers;
    auto put = [&numbers](auto value) { numbers.push_back(std::to_string(value)); };
    for (int kind : r.kind) put(kind);
    for (int n = 0; n < 2; ++n) {
        for (std::uint32_t word : r.client[n]) put(word);
        put(r.op[0][n]);
    }
    put(r.windows[0]);
    put(r.windows[1]);
    put(r.wow64);
    put(r.op[1][0]);
    for (int n = 0; n < 2; ++n) {
        put(r.service_pack[n][0]);
        put(r.service_pack[n][1]);
        put(r.op[2][n]);
    }
    for (int n = 0; n < 2; ++n) {
        for (std::uint32_t word : r.attr4[n]) put(word);
        put(r.op[3][n]);
    }
    for (int n = 0; n < 2; ++n) {
        for (std::uint32_t word : r.attr5[n]) put(word);
        put(r.op[4][n]);
    }
    put(r.url_index);
    put(r.action);
    put(r.message_index);
    put(r.next);
    numbers.push_back(r.marker);
    return numbers;
}

}  // namespace

RuleText FiringRule(int action, int message_index, int url_index, int next) {
    RuleText rule;
    rule.action = action;
    rule.message_index = message_index;
    rule.url_index = url_index;
    rule.next = next;
    return rule;
}

std::string ToCp932(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(932, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(932, 0, text.data(), length, &bytes[0], size, nullptr, nullptr);
    return bytes;
}

std::string DatabaseText::Bytes() const {
    const std::string& nl = line_end;
    auto count = [this](const std::optional<std::string>& set, std::size_t size) {
        return (set ? *set : std::to_string(size)) + after_count;
    };
    std::string out = ToCp932(title) + nl;
    out += std::to_string(interval_days) + " " + std::to_string(spread_days) + nl;
    out += (rule_count ? *rule_count : std::to_string(rules.size())) + nl;
    for (const RuleText& rule : rules) {
        std::string line;
        for (const std::string& number : RuleNumbers(rule)) line += (line.empty() ? "" : rule_separator) + number;
        out += line + nl;
    }
    out += count(message_count, messages.size()) + nl;
    for (const std::wstring& message : messages) out += ToCp932(message) + nl;
    out += urls_marker + nl + count(url_count, urls.size()) + nl;
    for (const std::wstring& url : urls) out += ToCp932(url) + nl;
    out += commands_marker + nl + count(command_count, commands.size()) + nl;
    for (const CommandEntry& c : commands) {
        out += std::to_string(c.major) + " " + std::to_string(c.minor) + " " + std::to_string(c.sub_minor) +
               after_count + nl + ToCp932(c.text) + nl;
    }
    out += trailer_marker + nl + probability + " " + hour + nl + end_marker + nl;
    return out;
}

bool DatabaseFiles::Load(UpdateDatabase& db, const std::string& bytes) {
    const std::wstring path = m_folder / L"VelmoUpgradeToolDatabase.txt";
    testing_support::write_bytes(path, bytes);
    EXPECT_EQ(testing_support::read_bytes(path), bytes) << "the database file was not written";
    return db.Load(path.c_str());
}
