#pragma once
// The steps of a load or a save on the folder's index, Mac file and new
// index: each is announced, with the file that it reads or changes, just
// before it is taken. Nothing listens in the programs; the store's tests take
// turns between a save and a load of two store objects here.
#include <string>

namespace vornpath::pki {

void FolderStep(const std::wstring& path, bool changes);

namespace detail {

using StepFunction = void (*)(const std::wstring& path, bool changes);
StepFunction& step_function();

}  // namespace detail

}  // namespace vornpath::pki
