// The command line the engine gets, made from the program's arguments the way the platform's
// command-line tail reads: arguments joined by blanks, an argument with blanks (or an empty
// one) in double quotes. The first argument is quoted only when it names an existing file, so
// inline code such as "Print 1~Print 2 /run" reaches the engine as typed.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

std::u16string command_text(const std::vector<std::string>& args,
                            const std::function<bool(std::u16string_view)>& is_file);

}  // namespace qz
