#pragma once
// The MsiExec orders of the exchange file ([Command] uninst and each entry of
// uninst_all). A user can write that file, and MsiExec runs with our rights,
// so an entry is taken only when it is an uninstall of one product and
// nothing else: "/x" or "/X", one product code in braces, then only switches
// that keep MsiExec quiet.
#include <optional>
#include <string>
#include <vector>

// True when the entry is such an uninstall; blanks around and between the
// words do not matter. [Command] uninst, once checked, runs as it stands.
bool IsMsiUninstall(const std::wstring& entry);

// The MsiExec arguments of one uninst_all entry: "/x {GUID}", its quiet
// switches but "/passive" (it shows a window), then "/q"; nothing for an
// entry that is not such an uninstall.
std::optional<std::wstring> MsiUninstallArguments(const std::wstring& entry);

struct MsiUninstallEntries {
    std::vector<std::wstring> arguments;  // MsiUninstallArguments of each good entry, in order
    std::vector<std::wstring> refused;    // the other entries, trimmed, in order
};

// Splits uninst_all at every ";" and checks each entry on its own, so that no
// character of one entry reaches another. Blank entries are skipped: MsiExec
// without arguments waits on its usage window for ever.
MsiUninstallEntries SplitMsiUninstallEntries(const std::wstring& uninstallAll);
