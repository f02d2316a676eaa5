// sys.Conv: conversions between script text and byte buffers, code pages, Base64, four bytes
// and a 32-bit number, files and strings; Cyrillic code-page tables, transliteration and
// keyboard-layout retyping; message digests of texts and files.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "com/object.h"

namespace qz {

class EngineLink;

struct ConvLinks {
  // Path macro expansion for mPath; null: the path is only lower-cased.
  std::function<std::u16string(std::u16string_view)> expand_path_macros;
  // Makes the object of the Icon property on its first read; null: Icon stays Nothing.
  std::function<Ref<Object>()> make_icon;
};

Ref<Object> new_conv_object(ConvLinks links);

// The factory sys uses for its Conv property.
Ref<Object> create_conv_service(EngineLink& engine);

}  // namespace qz
