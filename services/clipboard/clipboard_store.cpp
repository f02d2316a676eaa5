#include "services/clipboard/clipboard_store.h"

namespace qz {

// Text, OEM text, Unicode text, and the rich-text and link formats of the form toolkit
// (0xBF01, 0xBF00 as 16-bit numbers).
bool is_text_format(int format) { return format == 1 || format == 7 || format == 13 || format == -16639 || format == -16640; }
bool is_bitmap_format(int format) { return format == 2 || format == 8; }

ClipboardStore& process_clipboard() {
  static ClipboardStore store;
  return store;
}

}  // namespace qz
