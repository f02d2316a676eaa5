// The font object a confirmed font dialog hands back: name, size in points, weight and the
// style flags. Bold and Weight follow each other (bold is a weight of 700, plain 400).
#pragma once
#include <string>

#include "com/object.h"

namespace qz {

struct FontChoice {
  std::u16string name;
  double size = 0;
  int weight = 400;
  bool bold = false, italic = false, underline = false, strikethrough = false;
};

Ref<Object> new_font_object(const FontChoice& font);

}  // namespace qz
