// vbsrun FILE.vbs [args...]: runs a plain VBScript file with a WScript object.
// An uncaught error prints "FILE(line, col) runtime error N: text" to stderr and exits 1.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "com/str.h"
#include "platform/codepage.h"
#include "script/script_control.h"
#include "tools/vbsrun/wscript_object.h"

int main(int argc, char** argv) {
  using namespace qz;
  if (argc < 2) {
    std::fprintf(stderr, "usage: vbsrun FILE.vbs [args...]\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "vbsrun: cannot open %s\n", argv[1]);
    return 2;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::u16string source = decode_script_bytes(bytes);
  std::vector<std::u16string> args;
  for (int i = 2; i < argc; ++i) args.push_back(utf8_to_u16(argv[i]));

  Ref<ScriptControl> control(new ScriptControl());
  control->set_timeout(-1);
  control->add_object(u"WScript", vbsrun::new_wscript_object(utf8_to_u16(argv[1]), std::move(args)));
  int status = 0;
  try {
    control->add_code(source);
  } catch (const ScriptError& e) {
    std::fflush(stdout);
    std::ostringstream msg;
    msg << argv[1] << "(" << e.line << ", " << e.column << ") " << (e.compile ? "compilation error " : "runtime error ")
        << e.number << ": ";
    std::fputs(msg.str().c_str(), stderr);
    vbsrun::write_out(e.description + u"\n", true);
    status = 1;
  }
  std::fflush(stdout);
  control->reset();
  return status;
}
