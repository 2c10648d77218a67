#include "support/linux_link.h"

#include "support/HostLink.h"

namespace testing_support {

LinuxLink::LinuxLink(const std::wstring& link, const std::wstring& target) : m_link(link) {
    MakeHostLink(link, target);
}

LinuxLink::~LinuxLink() {
    if (Made()) RemoveHostLink(m_link);
}

bool LinuxLink::Made() const { return IsLink(m_link); }

}  // namespace testing_support
