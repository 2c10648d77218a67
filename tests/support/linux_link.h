#pragma once
// A symbolic link made on the Linux side of Wine, the only kind of link a
// test can have there: Windows programs under Wine cannot make one, and see
// this one as a reparse point that they follow.
#include <string>

namespace testing_support {

class LinuxLink {
public:
    // link: a Windows path whose folder exists; target: a Windows path.
    LinuxLink(const std::wstring& link, const std::wstring& target);
    // Unlinked on the Linux side too: a Windows removal would delete through
    // it, the temporary folder's cleanup included.
    ~LinuxLink();
    LinuxLink(const LinuxLink&) = delete;
    LinuxLink& operator=(const LinuxLink&) = delete;

    // Whether Windows programs see the link (a reparse point) at its path.
    bool Made() const;

private:
    std::wstring m_link;
};

}  // namespace testing_support
