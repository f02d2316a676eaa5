// Starting programs from a command line the way the platform's program-start function reads
// one: the program is the first word, or the text between the first pair of double quotes;
// the arguments follow, split at blanks, with double quotes grouping and backslashes before
// a double quote escaping it. The program may be a script path ("C:\tools\x") or a name
// looked up in PATH.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

// The program and its arguments (argv[0] first); empty when the line names no program.
std::vector<std::u16string> split_command_line(std::u16string_view command_line);

// Starts the program without waiting; its process id, or 0 when it cannot be started.
int32_t start_program(std::u16string_view command_line);
// Starts the program and waits for it to end, at most `timeout_ms` (0 or less: no limit).
// True when it ended within the time; false when it could not start or is still running
// (it is left running).
bool run_program_and_wait(std::u16string_view command_line, int32_t timeout_ms);
// The same with the program and its arguments given one by one (argv[0] first).
int32_t start_program(const std::vector<std::u16string>& words);
bool run_program_and_wait(const std::vector<std::u16string>& words, int32_t timeout_ms);
// Opens a document or address with the desktop's opener (xdg-open), without waiting; false
// when there is no opener or it cannot be started.
bool open_with_desktop(std::u16string_view document);

// Finds an executable named `name` in PATH ("" when none); a name with a "/" is returned as it is.
std::string find_in_path(std::string_view name);

}  // namespace qz
