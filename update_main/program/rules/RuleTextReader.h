#pragma once
// Reads the rule database text: decimal numbers between any white space, and
// whole lines in the thread's ANSI code page. The file is read in text mode,
// so a carriage return before a line feed is dropped. The first read that
// fails makes every later one fail as well, so a caller may read a run of
// numbers and look at ok() once.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class RuleTextReader {
public:
    // A line holds at most this many bytes before its line feed.
    static constexpr int kMaxLineBytes = 511;

    explicit RuleTextReader(const wchar_t* path);

    bool IsOpen() const { return m_file != nullptr; }
    bool ok() const { return m_ok; }

    // A signed 32-bit number; out of range is a failed read.
    bool ReadInt(int& value);
    // An unsigned 32-bit number; a minus sign negates it modulo 2^32.
    bool ReadUnsigned(std::uint32_t& value);
    // The rest of the current line without its line feed, converted. A line
    // longer than kMaxLineBytes, one that holds a NUL byte, or nothing left
    // to read, fails.
    bool ReadLine(std::wstring& line);
    // Drops what is left of the current line, its line feed included; a NUL
    // byte in it fails the reader. No text of the file may hold one.
    void SkipRestOfLine();

private:
    // Optional sign and magnitude of the next number, at most 2^32 - 1.
    bool ReadMagnitude(bool& negative, std::uint32_t& magnitude);
    bool Fail();

    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_file;
    bool m_ok;
};
