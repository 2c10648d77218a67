#pragma once
// Whose a file or folder is and who else may change it, judged from its
// security descriptor (owner and access list): whether it is this program's
// own, left by an earlier run, and whether a file that runs with our rights
// lies where nobody but the machine's own accounts can change it. On an
// entry, the descriptor is read through its handle, so what is judged is
// what was opened.
//
// Wine keeps no owners: there every entry reads back owned by the Wine user,
// and none passes either judgement.
#include <windows.h>

// Ours: owned by SYSTEM or the Administrators, with a protected access list
// (nothing inherited from a folder above, which users may write) whose allow
// entries give anyone but SYSTEM, the Administrators and TrustedInstaller no
// more than `othersMayHave`, what this program itself gives them. Generic
// rights count as the file rights they stand for, and entries that only pass
// on to what a folder will hold count too. A folder owned by the
// Administrators that inherits users' write rights is not ours.
bool IsOwnSecurity(PSECURITY_DESCRIPTOR descriptor, ACCESS_MASK othersMayHave);

// Where an entry lies on the way to a file that runs with our rights.
// Windows lets every signed-in user make folders at a volume's root; a new
// entry there renames, replaces or removes nothing on the way, so at the
// root the rights to add files and folders are not counted.
enum class OnTheWay { Entry, VolumeRoot };

// Owned by SYSTEM, the Administrators or TrustedInstaller, with an access
// list whose allow entries let nobody else write, append, delete, add files
// or folders, or change the list or the owner. Generic rights count as the
// file rights they stand for; entries that only pass on to what a folder will
// hold do not count.
bool OnlyTrustedMayChange(PSECURITY_DESCRIPTOR descriptor, OnTheWay at);

// Both as above for the entry open in `entry` (opened with READ_CONTROL);
// false when its owner or access list cannot be read.
bool IsOwnEntry(HANDLE entry, ACCESS_MASK othersMayHave);
bool OnlyTrustedMayChangeEntry(HANDLE entry, OnTheWay at);
