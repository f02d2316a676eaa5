// Plays the host program's part in the standalone tests: it reads its title area and looks for
// a script appended to its own file, as the host does at start, and reports what it found.
//
//   title=<title>
//   embedded=no | embedded=<byte count>
//   script-hex=<the embedded bytes in hex>
//   arg=<each argument>
#include <cstdio>
#include <string>

#include "engine/make/embedded_script.h"
#include "engine/make/host_title_area.h"

int main(int argc, char** argv) {
  std::printf("title=%s\n", qz::standalone::host_title().c_str());
  auto script = qz::standalone::read_embedded_script();
  if (!script) {
    std::printf("embedded=no\n");
  } else {
    std::printf("embedded=%zu\nscript-hex=", script->size());
    for (unsigned char c : *script) std::printf("%02x", c);
    std::printf("\n");
  }
  for (int i = 1; i < argc; ++i) std::printf("arg=%s\n", argv[i]);
  return 0;
}
