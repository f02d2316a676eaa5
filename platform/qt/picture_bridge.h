// Pictures as the window system hands them out: LoadPicture's objects and bitmap files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "com/object.h"

namespace qz {

Ref<Object> load_picture_file(std::u16string_view path);
Ref<Object> load_picture_bytes(const uint8_t* data, size_t size);
void save_picture_file(Object* picture, std::u16string_view path);

}  // namespace qz
