#pragma once
// The downloaded root-certificate package (cacerts.cab in the data folder):
// is it the maker's, whole, and newer than the client's certificate stores?
// The main program only decides; the secondary program installs it.
#include <string>

#include "framework/CString.h"

// Checks the cabinet's signer, unpacks it into the data folder's cacerts
// folder, checks both stores in it and compares their counters with the
// client's below installDir (not compared when installDir is empty). Nonzero
// when the package is usable, with newer = 1 when it is newer; 0 with K603
// (signer) or K604 (extraction, stores, counters) in message.
int UpdateRootCertPackage(const std::wstring& baseFolder, int& newer, CString& message, const wchar_t* installDir);
