// Cursor files come from scripts: the animated-cursor reader must give frames that lie inside
// the bytes and steps that name existing frames, or refuse the file, for any input; whole
// loading (frames decoded as icons) must give a cursor or 0, never a crash.
#include <cstdint>
#include <cstdlib>

#include "platform/qt/gdi/ani_file.h"
#include "platform/qt/gdi/cursors.h"
#include "platform/qt/gui_application.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!qz::start_gui_application(nullptr)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (auto ani = qz::parse_ani_file(data, size)) {
    if (ani->frames.empty() || ani->steps.empty() || ani->frames.size() > qz::kAniMaxFrames ||
        ani->steps.size() > qz::kAniMaxSteps)
      std::abort();
    for (const qz::AniFrameBytes& f : ani->frames)
      if (f.offset > size || f.size > size - f.offset) std::abort();
    for (const qz::AniStep& s : ani->steps)
      if (s.frame >= ani->frames.size() || s.duration_ms == 0) std::abort();
  }
  int32_t cursor = qz::load_cursor_bytes(data, size);
  if (cursor != 0) {
    if (qz::cursor_frame_count(cursor) < 1) std::abort();
    qz::destroy_cursor_handle(cursor);
  }
  return 0;
}
