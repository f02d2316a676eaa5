// Runs a helper program with its standard input and output connected to us: the text to feed
// it goes in, its standard output comes back. Used for the printer tools (lpstat, lp).
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

// Starts argv[0] (looked up in PATH when it has no "/"), writes `input` to its standard input,
// closes it and collects its standard output until it exits. Its standard error stays ours.
// Nothing when the program is missing, cannot start, exits with a nonzero status or is still
// running after `timeout_ms` (then it is killed).
std::optional<std::string> run_piped(const std::vector<std::string>& argv, std::string_view input,
                                     int timeout_ms);

}  // namespace qz
