#include "log_state.h"

namespace qen_lib::log::detail {

Settings& settings() {
    static Settings values;
    return values;
}

ProcessState& process_state() {
    static ProcessState state;
    return state;
}

}  // namespace qen_lib::log::detail
