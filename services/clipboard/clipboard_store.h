// The process's own clipboard: one entry per format number. The text formats (1 text, 7 OEM
// text, 13 Unicode text) share one text entry, as the system converts between them; other
// formats hold what was put there as it was given (a picture object or a byte array).
#pragma once
#include <map>

#include "com/variant.h"

namespace qz {

bool is_text_format(int format);
// The bitmap formats: 2 (bitmap) and 8 (device-independent bitmap); on the desktop clipboard
// both are its one picture.
bool is_bitmap_format(int format);

class ClipboardStore {
 public:
  void clear() { entries_.clear(); }
  void put(int format, Variant value) { entries_[key(format)] = std::move(value); }
  // Empty when the format holds nothing.
  Variant get(int format) const {
    auto it = entries_.find(key(format));
    return it == entries_.end() ? Variant() : it->second;
  }
  bool has(int format) const { return entries_.count(key(format)) != 0; }

 private:
  static int key(int format) { return format == 7 || format == 13 ? 1 : format; }
  std::map<int, Variant> entries_;
};

// The one clipboard of this process.
ClipboardStore& process_clipboard();

}  // namespace qz
