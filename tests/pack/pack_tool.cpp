// Command-line access to packing and make, for the test drivers.
//
//   qz_pack_tool pack FILE              packs FILE in place
//   qz_pack_tool unpack FILE            writes the plain script to stdout
//   qz_pack_tool make SCRIPT TEMPLATE   runs make with TEMPLATE as the host program
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/make/make_builder.h"
#include "engine/pack/file_replace.h"
#include "engine/pack/pack_file.h"
#include "platform/path.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: qz_pack_tool pack|unpack FILE | make SCRIPT TEMPLATE\n");
    return 2;
  }
  std::string verb = argv[1], path = argv[2], error;
  if (verb == "pack") {
    if (qz::pack::pack_file(path, {}, error) == qz::pack::PackFileStatus::Failed) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (verb == "unpack") {
    auto bytes = qz::pack::read_whole_file(path, error);
    std::string reason;
    auto plain = bytes ? qz::pack::unpack(*bytes, reason) : std::nullopt;
    if (!plain) {
      std::fprintf(stderr, "%s: %s (%s)\n", std::string(qz::pack::kDamagedReport).c_str(), path.c_str(),
                   bytes ? reason.c_str() : error.c_str());
      return 1;
    }
    std::fwrite(plain->data(), 1, plain->size(), stdout);
    return 0;
  }
  if (verb == "make" && argc >= 4) {
    qz::make::MakeContext ctx;
    ctx.host_executable = argv[3];
    auto result = qz::make::build_from_make_ini(qz::script_path(path), ctx);
    if (!result.ok) {
      std::fprintf(stderr, "make: %s\n", result.error.c_str());
      return 1;
    }
    if (!result.executable_path.empty()) std::printf("%s\n", result.executable_path.c_str());
    return 0;
  }
  std::fprintf(stderr, "unknown verb %s\n", verb.c_str());
  return 2;
}
