#pragma once
// Opening an address with the rights of the user signed in at the desktop,
// whatever the rights of this process.

// Hands the address to the desktop shell of the signed-in user, whose own
// process opens it. Opens nothing where no such shell answers: in a service's
// session, as SYSTEM, where the shell refuses, or on a system without one.
void OpenThroughDesktopShell(const wchar_t* address);
