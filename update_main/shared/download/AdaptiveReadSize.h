#pragma once
// How much the download worker asks for per read of a body. Every read is one
// call through WinINet, dear per call (under Wine a socket round trip: reads
// of 1 KiB stay near 13 MiB/s), and a read blocks until it is full, so a
// large read on a slow link delays the progress bar and, where closing the
// handle does not interrupt it, a cancel. The size follows the link: it
// doubles while reads fill quickly, up to `most`, and halves when a read takes
// long, down to `least` (the owner's chunk size).
#include <windows.h>

#include <algorithm>

class AdaptiveReadSize {
public:
    // A read this quick may ask for twice as much; one this slow for half.
    static constexpr DWORD kQuickMs = 20;
    static constexpr DWORD kSlowMs = 200;

    AdaptiveReadSize(DWORD least, DWORD most) : m_least(std::max<DWORD>(least, 1)), m_most(std::max(most, m_least)), m_size(m_least) {}

    DWORD size() const { return m_size; }

    // After a read that asked for size() bytes and got `got` in `elapsedMs`.
    void Update(DWORD got, DWORD elapsedMs) {
        if (elapsedMs >= kSlowMs)
            m_size = std::max(m_size / 2, m_least);
        else if (got == m_size && elapsedMs <= kQuickMs)
            m_size = std::min(m_size * 2, m_most);
    }

private:
    DWORD m_least;
    DWORD m_most;
    DWORD m_size;
};
