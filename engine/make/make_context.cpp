#include "engine/make/make_context.h"

#include <cstdio>

namespace qz::make {

std::u16string MakeContext::expand(std::u16string_view path) const {
  return expand_path_macros ? expand_path_macros(path) : std::u16string(path);
}

void MakeContext::report(const std::string& line) const {
  if (note) note(line);
  else std::fprintf(stderr, "make: %s\n", line.c_str());
}

}  // namespace qz::make
