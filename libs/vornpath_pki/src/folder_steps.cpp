#include "folder_steps.h"

namespace vornpath::pki {

void FolderStep(const std::wstring& path, bool changes) {
    if (const detail::StepFunction step = detail::step_function()) step(path, changes);
}

namespace detail {

StepFunction& step_function() {
    static StepFunction step = nullptr;
    return step;
}

}  // namespace detail

}  // namespace vornpath::pki
