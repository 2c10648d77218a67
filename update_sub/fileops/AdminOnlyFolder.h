#pragma once
// Folders that only SYSTEM and the Administrators may write, for what this
// program, running elevated, takes from files a user could have changed: the
// certificate package it checks again, the backup it may restore from, and
// the client setup it runs, which loads DLLs from its own folder first.
#include <string>

// Creates the folder (its parent must exist) owned by the Administrators,
// with a protected access list that gives SYSTEM and the Administrators full
// control, inherited by everything below, and nobody else anything. False,
// with the last error, when it cannot be created; a folder that is there
// already fails with ERROR_ALREADY_EXISTS, so one that someone else made
// first is never taken for ours.
bool CreateAdminOnlyFolder(const std::wstring& path);

// Makes the path a new, empty folder as above. A folder of this program's
// from an earlier run (a real folder owned by SYSTEM or the Administrators)
// is removed first; anything else there (a folder someone else made, a link,
// a file) is moved aside under a new name beside it, never opened, followed
// or emptied: emptying what a user made could be led through a link to
// delete elsewhere. False, with the last error, when either fails.
bool RemakeAdminOnlyFolder(const std::wstring& path);

// Moves whatever is at the path (a file, a folder, or a link itself) aside
// under a new name beside it. False, with the last error, when it cannot.
bool SetAside(const std::wstring& path);
