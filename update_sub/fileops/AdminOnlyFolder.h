#pragma once
// Folders that only SYSTEM and the Administrators may write, for what this
// program, running elevated, takes from files a user could have changed: the
// certificate package it checks again, the backup it may restore from, and
// the client and auxiliary setups it runs, which load DLLs from their own
// folder first. HeldFolder makes and holds them with the folders above.
//
// Each returns the folder held open to list, shared for everything but
// delete, from the very open that made or judged it: a user who may write
// the folder above can never swap another folder in between.
#include <string>

#include "win/handle.h"

// Creates the folder (its parent must exist) owned by the Administrators,
// with a protected access list that gives SYSTEM and the Administrators full
// control, inherited by everything below, and nobody else anything. Empty,
// with the last error, when it cannot be created; a folder that is there
// already fails with ERROR_ALREADY_EXISTS, so one that someone else made
// first is never taken for ours. The hold has delete access too, so that
// the folder is emptied and removed through it (HeldFolder::Remove).
win::FileHandle CreateAdminOnlyFolder(const std::wstring& path);

// Makes the path a new, empty folder as above. A folder of this program's
// from an earlier run (a real folder owned by SYSTEM or the Administrators
// whose protected list gives nobody else anything: IsOwnEntry) is removed
// first, through the hold that judged it, never by its name again; anything
// else there (a folder someone else made, a link, a file) is set aside
// (SetAside), never opened, followed or emptied: emptying what a user made
// could be led through a link to delete elsewhere.
// Empty, with the last error, when either fails.
win::FileHandle RemakeAdminOnlyFolder(const std::wstring& path);

// As RemakeAdminOnlyFolder, except that a folder of ours is kept with what
// it holds: for a folder that gathers what runs leave (the backups). Held
// without delete access, so that others may still list it.
win::FileHandle KeepOrMakeAdminOnlyFolder(const std::wstring& path);
