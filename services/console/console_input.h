// Reading a typed line or a single key from standard input. On a terminal a key is read in
// raw mode (no line editing, no echo, no signals from Ctrl+C) after the keys typed before
// the call are discarded; from a pipe or file the next character is simply taken.
#pragma once
#include <optional>
#include <string>

namespace qz {

// The next line without its line end; nullopt at the end of the input.
std::optional<std::u16string> read_console_line();
// The next key as one character (Enter on a terminal gives CR); nullopt at the end of input.
std::optional<std::u16string> read_console_key();

}  // namespace qz
