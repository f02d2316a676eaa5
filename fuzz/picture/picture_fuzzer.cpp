// LoadPicture takes any file a script names: decoding arbitrary bytes must give a picture or
// error 481, never a crash or an allocation the size a hostile header asks for.
#include <cstdint>
#include <cstdlib>

#include "com/error.h"
#include "platform/qt/gui_application.h"
#include "platform/qt/picture.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!qz::start_gui_application(nullptr)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    qz::Ref<qz::Picture> p = qz::read_picture_bytes(data, size);
    if (p->image().isNull() || p->handle() == 0 || qz::Picture::from_handle(p->handle()) != p.get()) std::abort();
    if (p->image().width() > 16384 || p->image().height() > 16384) std::abort();
  } catch (const qz::ScriptError& e) {
    if (e.number != 481) std::abort();
  }
  return 0;
}
