#include "engine/make/host_title_area.h"

#include "engine/make/standalone_layout.h"

namespace qz::standalone {

std::string host_title() {
  const volatile char* area = title_area();
  std::string title;
  for (size_t i = 0; i < kTitleAreaSize && area[i] != '\0'; ++i) title.push_back(area[i]);
  return title;
}

}  // namespace qz::standalone
