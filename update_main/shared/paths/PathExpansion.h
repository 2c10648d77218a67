#pragma once
// Path templates with environment variables ("%ProgramData%\...") turned into
// the paths of this PC.
#include <string>

// ExpandEnvironmentStringsW of the template, however long the result; ""
// when Windows cannot expand it. A variable that is not set stays as written.
std::wstring ExpandPath(const std::wstring& pathTemplate);

// The template with each "%NAME%" replaced by the system's own folder of that
// name, never by the process's environment, which a user's profile can set:
// ProgramData and ALLUSERSPROFILE by `programDataFolder` (the common
// application-data folder as SHGetFolderPathW gives it), windir and
// SystemRoot by GetWindowsDirectoryW, SystemDrive by that folder's drive, the
// program-files folders by SHGetFolderPathW. Names are matched without
// regard to case; a lone "%" is text. "" when the template names any other
// variable or a folder that Windows does not give.
std::wstring ExpandSystemPath(const std::wstring& pathTemplate, const std::wstring& programDataFolder);
