// Running the rule program against the environment record.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rules/UpdateDatabase.h"

namespace {

enum Action { kAppendFirst = 1, kAppendSecond = 2, kAppendAfterFired = 3 };

// Environment words against rule words, compared from the first word on as
// unsigned numbers.
bool CompareWords(const std::uint32_t* env, const std::uint32_t* rule, std::size_t count, int op) {
    int order = 0;
    for (std::size_t n = 0; n < count && order == 0; ++n)
        if (env[n] != rule[n]) order = env[n] < rule[n] ? -1 : 1;
    switch (op) {
        case 1: return order == 0;
        case 2: return order > 0;
        case 3: return order < 0;
        case 4: return order >= 0;
        case 5: return order <= 0;
        default: return true;
    }
}

// Attribute `attribute` (0-based) against value `n` (0 or 1) of the rule.
bool CompareAttribute(int attribute, int op, const UpdateRule& rule, int n, const EnvironmentInfo& env) {
    switch (attribute) {
        case 0: {
            const ProductVersion& value = rule.client[n];
            const std::uint32_t mine[] = {env.installed.major, env.installed.minor, env.installed.sub_minor};
            const std::uint32_t theirs[] = {value.major, value.minor, value.sub_minor};
            return CompareWords(mine, theirs, 3, op);
        }
        case 1: {
            // Only os[0] carries a Windows version: the format has no second one.
            const OsVersion& value = rule.os[0];
            if (env.os.wow64 != value.wow64) return false;
            const std::uint32_t mine[] = {env.os.major, env.os.minor};
            const std::uint32_t theirs[] = {value.major, value.minor};
            return CompareWords(mine, theirs, 2, op);
        }
        case 2: {
            const OsVersion& value = rule.os[n];
            const std::uint32_t mine[] = {env.os.sp_major, env.os.sp_minor};
            const std::uint32_t theirs[] = {value.sp_major, value.sp_minor};
            return CompareWords(mine, theirs, 2, op);
        }
        default:
            // Attributes 4 and 5 have nothing in the environment to compare.
            return false;
    }
}

bool AttributePasses(const UpdateRule& rule, int attribute, const EnvironmentInfo& env) {
    const int kind = rule.kind[attribute];
    if (kind != 1 && kind != 2) return true;
    if (!CompareAttribute(attribute, rule.op[attribute][0], rule, 0, env)) return false;
    // The Windows version has one value and one operator in the text, so a
    // range on it is that one comparison.
    if (kind == 1 || attribute == 1) return true;
    return CompareAttribute(attribute, rule.op[attribute][1], rule, 1, env);
}

// Entry `index` of a table whose indexes the load has checked; the empty
// text for a table that was never loaded.
const std::wstring& TextAt(const std::vector<std::wstring>& texts, int index) {
    static const std::wstring empty;
    return index >= 0 && static_cast<std::size_t>(index) < texts.size() ? texts[static_cast<std::size_t>(index)]
                                                                         : empty;
}

}  // namespace

bool MatchRule(const UpdateRule& rule, const EnvironmentInfo& env) {
    for (int attribute = 0; attribute < 5; ++attribute)
        if (!AttributePasses(rule, attribute, env)) return false;
    return true;
}

bool UpdateDatabase::Evaluate(EnvironmentInfo& env, CString& first, CString& second) const {
    // Results are gathered aside and handed over only when the run ends, so
    // a rule program that never ends leaves no partial orders behind.
    std::wstring url = env.dURL;
    std::wstring toFirst, toSecond;
    bool messageFired = false;
    const std::size_t count = db.rules.size();
    std::size_t i = 0;
    for (int steps = 0; i < count; ++steps) {
        if (steps == kMaxEvaluationSteps) return false;
        const UpdateRule& rule = db.rules[i];
        const bool fires = MatchRule(rule, env) && (rule.action != kAppendAfterFired || messageFired);
        if (!fires) {
            ++i;
            continue;
        }
        if (rule.url_index > 0) url = TextAt(db.urls, rule.url_index);
        const std::wstring& message = TextAt(db.messages, rule.message_index);
        if (rule.action == kAppendFirst || rule.action == kAppendSecond) {
            messageFired = true;
            (rule.action == kAppendFirst ? toFirst : toSecond) += message + L'\n';
        } else if (rule.action == kAppendAfterFired && !message.empty()) {
            toFirst += message + L'\n';
        }
        if (rule.next <= 0) break;
        i = static_cast<std::size_t>(rule.next) - 1;
    }
    env.dURL = url;
    first += CString(toFirst);
    second += CString(toSecond);
    return true;
}
