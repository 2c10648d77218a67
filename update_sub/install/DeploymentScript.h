#pragma once
// The deployment's script, [APP] vbs_file, which wscript runs with our
// rights. The setting comes from a file that a user may change, so the
// script runs only from where no user can write: directly in this program's
// own folder (where the installer puts both programs; whoever may write
// there could put a DLL beside the program already), never in a folder
// below it, which a user may have made; or from a place outside the tool's
// data folder where SYSTEM, the Administrators or TrustedInstaller own the
// file and every folder above it, and nobody else may change any of them
// (OnlyTrustedMayChange; at the volume's root, where Windows lets users
// make folders, adding is no change). What is judged is the file held open, without
// write or delete sharing, by its final path, links in its folders followed;
// wscript gets that path, and the file stays held until wscript has ended,
// so that what runs is what was judged.
#include <string>
#include <vector>

#include "install/ProgramRunner.h"

// wscript on the script (`vbsFile`, the setting as read at start); the
// tool's data folder is `dataFolder`, which users write. False, nothing
// started, for a script that may not run, which is then added to `refused`:
// one named by no full path, by a path with a double quote, that is missing,
// a folder or a link itself, or that lies elsewhere. False too when wscript
// could not be started; an empty setting runs nothing.
bool RunVbsFile(ProgramRunner& runner, const std::wstring& vbsFile, const std::wstring& dataFolder,
                std::vector<std::wstring>& refused);
