#pragma once
// What a program file's headers declare to the loader.
#include <windows.h>

#include <string>

namespace testing_support {

// The DLL characteristics of its optional header (IMAGE_DLLCHARACTERISTICS_*),
// 0 when the file is no program.
WORD DllCharacteristics(const std::wstring& program);

}  // namespace testing_support
