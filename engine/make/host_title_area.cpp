#include "engine/make/host_title_area.h"

#include "engine/make/standalone_layout.h"

namespace qz::standalone {

namespace {

// The area behind its sentinel, kept in writable data and read through a volatile pointer:
// the compiler must never fold the title into a constant, since make rewrites these bytes in
// the file.
struct TitleArea {
  char sentinel[kTitleSentinelSize];
  char area[kTitleAreaSize];
};
static_assert(sizeof(TitleArea) == kTitleSentinelSize + kTitleAreaSize);

[[gnu::used]] TitleArea g_title_area = {
    "<qz-title-area>",
    "Quazel\0AddSpaceTitle"
    "----------------------------------------------"
    "----------------------------------------------"};

}  // namespace

std::string host_title() {
  const volatile char* area = g_title_area.area;
  std::string title;
  for (size_t i = 0; i < kTitleAreaSize && area[i] != '\0'; ++i) title.push_back(area[i]);
  return title;
}

}  // namespace qz::standalone
