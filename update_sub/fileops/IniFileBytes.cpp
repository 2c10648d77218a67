#include "fileops/IniFileBytes.h"

#include <windows.h>

#include <vector>

namespace {

enum class Encoding { Ansi, Utf16 };

struct Text {
    Encoding encoding;
    std::size_t unit;   // bytes a character unit takes
    std::size_t start;  // the first byte after the mark
};

std::optional<Text> TextOf(const std::string& bytes) {
    if (bytes.compare(0, 2, "\xFF\xFE", 2) == 0) {
        if (bytes.size() % 2 != 0) return std::nullopt;
        return Text{Encoding::Utf16, 2, 2};
    }
    if (bytes.compare(0, 2, "\xFE\xFF", 2) == 0 || bytes.compare(0, 3, "\xEF\xBB\xBF", 3) == 0) return std::nullopt;
    return Text{Encoding::Ansi, 1, 0};
}

// Line ends and the ASCII of names are single bytes in the ANSI code page.
wchar_t UnitAt(const std::string& bytes, std::size_t at, const Text& text) {
    const auto low = static_cast<unsigned char>(bytes[at]);
    if (text.unit == 1) return low;
    return static_cast<wchar_t>(low | static_cast<unsigned char>(bytes[at + 1]) << 8);
}

bool IsLineEnd(wchar_t unit) { return unit == L'\r' || unit == L'\n'; }

// What the profile functions drop around names and values.
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\v' || c == L'\f' || c == 0x1A; }

std::wstring Trimmed(const std::wstring& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::wstring Decode(const std::string& bytes, std::size_t begin, std::size_t end, const Text& text) {
    std::wstring wide;
    if (text.encoding == Encoding::Utf16) {
        for (std::size_t at = begin; at < end; at += 2) wide.push_back(UnitAt(bytes, at, text));
        return wide;
    }
    const int length = static_cast<int>(end - begin);
    if (length == 0) return wide;
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, bytes.data() + begin, length, nullptr, 0)));
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data() + begin, length, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// Nothing when a character has no form in the ANSI code page.
std::optional<std::string> Encode(const std::wstring& wide, const Text& text) {
    if (text.encoding == Encoding::Utf16) {
        std::string bytes;
        for (const wchar_t c : wide) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8 & 0xFF)};
        return bytes;
    }
    const int length = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    std::string bytes(static_cast<std::size_t>(::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                                                     nullptr, 0, nullptr, &lossy)),
                      '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, bytes.data(),
                          static_cast<int>(bytes.size()), nullptr, &lossy);
    if (lossy) return std::nullopt;
    return bytes;
}

struct Line {
    std::size_t begin, contentEnd, end;  // `end` after the line's CR LF, CR or LF
    std::wstring text;                   // the content, blanks around it dropped
};

std::vector<Line> Lines(const std::string& bytes, const Text& text) {
    std::vector<Line> lines;
    for (std::size_t at = text.start; at < bytes.size(); at = lines.back().end) {
        Line line{at, at, at, std::wstring()};
        while (line.contentEnd < bytes.size() && !IsLineEnd(UnitAt(bytes, line.contentEnd, text)))
            line.contentEnd += text.unit;
        line.end = line.contentEnd;
        for (const wchar_t end : {L'\r', L'\n'})
            if (line.end < bytes.size() && UnitAt(bytes, line.end, text) == end) line.end += text.unit;
        line.text = Trimmed(Decode(bytes, line.begin, line.contentEnd, text));
        lines.push_back(std::move(line));
    }
    return lines;
}

bool SameName(const std::wstring& a, const wchar_t* b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

// "[name]", up to the last bracket; nothing for any other line.
std::optional<std::wstring> SectionName(const std::wstring& line) {
    const std::size_t close = line.rfind(L']');
    if (line.empty() || line[0] != L'[' || close == std::wstring::npos || close == 0) return std::nullopt;
    return Trimmed(line.substr(1, close - 1));
}

std::wstring KeyName(const std::wstring& line) { return Trimmed(line.substr(0, line.find(L'='))); }

// Nothing for a line without "=", a key without a value.
std::optional<std::wstring> ValueOf(const std::wstring& line) {
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring::npos) return std::nullopt;
    return Trimmed(line.substr(equals + 1));
}

struct Place {
    bool sectionFound = false;
    std::size_t last = 0;  // the section's last line that is not blank
    std::optional<std::size_t> key;
};

Place Find(const std::vector<Line>& lines, const wchar_t* section, const wchar_t* key) {
    Place place;
    for (std::size_t i = 0; i < lines.size() && !place.key; ++i) {
        if (const std::optional<std::wstring> name = SectionName(lines[i].text)) {
            if (place.sectionFound) break;
            place.sectionFound = SameName(*name, section);
            place.last = i;
        } else if (place.sectionFound && !lines[i].text.empty()) {
            place.last = i;
            if (SameName(KeyName(lines[i].text), key)) place.key = i;
        }
    }
    return place;
}

bool EndsLine(const std::string& bytes, std::size_t at, const Text& text) {
    return at == text.start || IsLineEnd(UnitAt(bytes, at - text.unit, text));
}

}  // namespace

std::optional<std::string> WithIniValue(const std::string& bytes, const wchar_t* section, const wchar_t* key,
                                        const std::wstring& value) {
    const std::optional<Text> text = TextOf(bytes);
    if (!text) return std::nullopt;
    const std::vector<Line> lines = Lines(bytes, *text);
    const Place place = Find(lines, section, key);
    std::size_t at = 0, end = 0;
    std::wstring written;
    if (place.key) {
        const Line& line = lines[*place.key];
        if (ValueOf(line.text) == value) return bytes;
        at = line.begin;
        end = line.contentEnd;
        written = KeyName(line.text) + L"=" + value;
        if (line.end == end) written += L"\r\n";
    } else {
        at = end = place.sectionFound ? lines[place.last].end : bytes.size();
        if (!EndsLine(bytes, at, *text)) written = L"\r\n";
        if (!place.sectionFound) written += L"[" + std::wstring(section) + L"]\r\n";
        written += std::wstring(key) + L"=" + value + L"\r\n";
    }
    const std::optional<std::string> encoded = Encode(written, *text);
    if (!encoded) return std::nullopt;
    return bytes.substr(0, at) + *encoded + bytes.substr(end);
}

std::optional<std::wstring> IniValue(const std::string& bytes, const wchar_t* section, const wchar_t* key) {
    const std::optional<Text> text = TextOf(bytes);
    if (!text) return std::nullopt;
    const std::vector<Line> lines = Lines(bytes, *text);
    const Place place = Find(lines, section, key);
    // A key without "=" reads as absent.
    const std::optional<std::wstring> found = place.key ? ValueOf(lines[*place.key].text) : std::nullopt;
    if (!found) return std::nullopt;
    const std::wstring& value = *found;
    const bool quoted = value.size() > 1 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0];
    return quoted ? value.substr(1, value.size() - 2) : value;
}
