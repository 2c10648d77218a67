// This program runs as an administrator, or as SYSTEM when a service started
// it. A browser started here would run so too, and from its file dialogs a
// user would reach a shell with those rights. The address goes to the
// signed-in user's desktop shell instead; where none answers, nothing opens,
// and the address stays readable in the dialog.
#include "dialogs/LinkOpening.h"

#include "usershell/DesktopShellOpen.h"

void OpenLinkAddress(const wchar_t* address) { OpenThroughDesktopShell(address); }
