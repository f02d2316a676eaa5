#include "host/command_text.h"

#include "platform/codepage.h"

namespace qz {

std::u16string command_text(const std::vector<std::string>& args,
                            const std::function<bool(std::u16string_view)>& is_file) {
  std::u16string line;
  for (size_t i = 0; i < args.size(); ++i) {
    // Arguments are UTF-8 on Linux; other bytes go through the lossless ANSI table.
    std::u16string arg = decode_script_bytes(args[i]);
    bool blank = arg.empty() || arg.find(u' ') != std::u16string::npos;
    bool quote = blank && (i > 0 || is_file(arg)) && arg.find(u'"') == std::u16string::npos;
    if (i > 0) line += u' ';
    if (quote) line += u'"';
    line += arg;
    if (quote) line += u'"';
  }
  return line;
}

}  // namespace qz
