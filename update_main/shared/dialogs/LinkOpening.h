#pragma once
// How a click on the link opens its address. Each program defines it for
// itself: what may start a browser depends on the rights that the program
// runs with.

// Opens the address in the user's browser, or opens nothing.
void OpenLinkAddress(const wchar_t* address);
