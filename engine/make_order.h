// The command line's "make" order: build the script with make.ini and report the outcome.
#pragma once
#include <string_view>

namespace qz {

// Builds `script_path` (script text path); a failure is written to the error stream and makes
// the run's exit status 1.
void run_make_order(std::u16string_view script_path);

}  // namespace qz
