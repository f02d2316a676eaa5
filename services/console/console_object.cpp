// Colours, cursor moves and the title are terminal control sequences, sent only when standard
// output is a terminal: a pipe or file receives the plain text. Out-of-range numbers for
// Locate, ForeColor, BackColor and their attribute sum raise the overflow error; nothing else
// raises.
#include "services/console/console_object.h"

#include <unistd.h>

#include "com/convert.h"
#include "com/error.h"
#include "platform/codepage.h"
#include "platform/output.h"
#include "services/console/console_escapes.h"
#include "services/console/console_input.h"

namespace qz {

namespace {

bool stdout_is_terminal() { return ::isatty(STDOUT_FILENO) == 1; }

// A 16-bit argument; a left-out one counts as `missing`.
int16_t int16_arg(const Args& a, size_t i, int16_t missing) { return a.has(i) ? to_integer(a[i]) : missing; }

// Characters that would let a title end its control sequence or start another one.
std::u16string printable(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text)
    if (c >= 0x20 && !(c >= 0x7F && c <= 0x9F)) out.push_back(c);
  return out;
}

class ConsoleObject : public NativeObject<ConsoleObject> {
 public:
  std::u16string type_name() const override { return u"clsConsole"; }

  static void define(Members<ConsoleObject>& m) {
    m.method(u"Locate", [](ConsoleObject& c, Args a) {
      int16_t column = int16_arg(a, 0, 0), row = int16_arg(a, 1, 0);
      // The console refuses a negative position.
      if (c.open_ && column >= 0 && row >= 0 && stdout_is_terminal()) write_stdout_bytes(cursor_position(column, row));
      return Variant();
    });
    m.method(u"ConsoleOpen", [](ConsoleObject& c, Args a) {
      std::u16string title = a.has(0) ? to_u16(a[0]) : std::u16string();
      c.open_ = true;
      if (stdout_is_terminal()) {
        write_stdout_bytes(window_title(encode(output_code_page(), printable(title))));
        write_stdout_bytes(sgr_for_attribute(kConsoleDefaultAttribute));
      }
      c.coloured_ = false;
      return Variant();
    });
    m.method(u"ConsoleClose", [](ConsoleObject& c, Args) {
      // Leave the terminal in its own colours for whoever uses it next.
      if (c.open_ && c.coloured_ && stdout_is_terminal()) write_stdout_bytes(sgr_for_attribute(kConsoleDefaultAttribute));
      c.open_ = false;
      c.coloured_ = false;
      flush_stdout();
      return Variant();
    });
    m.method(u"PrintText", [](ConsoleObject& c, Args a) {
      Str text = a.has(0) ? to_str(a[0]) : Str();
      int16_t fore = int16_arg(a, 1, -1), back = int16_arg(a, 2, -1);
      std::optional<uint16_t> attribute;
      if (fore != -1 || back != -1) {
        int32_t sum = int32_t{back == -1 ? int16_t{0} : back} * 16 + (fore == -1 ? 7 : fore);
        if (sum < -32768 || sum > 32767) raise(kErrOverflow);
        attribute = static_cast<uint16_t>(sum);
      }
      if (!c.open_) return Variant();
      if (attribute && stdout_is_terminal()) {
        write_stdout_bytes(sgr_for_attribute(*attribute));
        c.coloured_ = (*attribute & 0xFF) != kConsoleDefaultAttribute;
      }
      write_stdout(text);
      return Variant();
    });
    m.method(u"ReadText", [](ConsoleObject& c, Args) {
      if (!c.open_) return Variant(Str());
      flush_stdout();
      auto line = read_console_line();
      return Variant(line ? *line : std::u16string());
    });
    m.method(u"ReadChar", [](ConsoleObject& c, Args) {
      if (!c.open_) return Variant(Str());
      auto key = read_console_key();
      return Variant(key ? *key : std::u16string());
    });
  }

 private:
  bool open_ = false;
  bool coloured_ = false;  // colours other than the default are in force
};

}  // namespace

Ref<Object> new_console_object() { return make_ref<ConsoleObject>(); }

Ref<Object> create_console_service(EngineLink&) { return new_console_object(); }

}  // namespace qz
