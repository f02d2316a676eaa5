#include "platform/qt/picture_bridge.h"

#include "com/error.h"
#include "platform/qt/picture.h"

namespace qz {

Ref<Object> load_picture_file(std::u16string_view path) { return Ref<Object>(read_picture_file(path).get()); }

Ref<Object> load_picture_bytes(const uint8_t* data, size_t size) {
  return Ref<Object>(read_picture_bytes(data, size).get());
}

void save_picture_file(Object* picture, std::u16string_view path) {
  Picture* p = as_picture(picture);
  if (!p) raise(481, u"Invalid picture");
  write_bitmap_file(p->image(), path);
}

}  // namespace qz
