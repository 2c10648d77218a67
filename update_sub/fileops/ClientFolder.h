#pragma once
// The client's installation folder, named by its INI file, in which this
// program, running elevated, deletes the certificate stores' files below
// ".kvxwrap", reads ".kvxwrap\.properties" and starts VelmoInit.exe, all by
// name. A link on the way would send those names, and our rights, wherever
// it leads. Their owners are not judged: the client's installer made them.
#include <string>

#include "fileops/HeldFolder.h"

// Holds the client folder `directory` with every folder above it, and its
// ".kvxwrap" when there is one (HeldFolder::HoldExisting): each must be a
// real folder, not a link, and stays held without delete sharing while
// `held` holds it. The stores' folders below are not held: the update
// renames them. False, with the last error, holding nothing, when any of
// them is a link or no folder, or the client folder is missing.
bool HoldClientFolder(const std::wstring& directory, HeldFolder& held);
