#pragma once
// Path templates with environment variables ("%ProgramData%\...") turned into
// the paths of this PC.
#include <string>

// ExpandEnvironmentStringsW of the template, however long the result; ""
// when Windows cannot expand it. A variable that is not set stays as written.
std::wstring ExpandPath(const std::wstring& pathTemplate);
