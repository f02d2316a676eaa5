// sys.ClipBoard: text and pictures (or byte arrays) on the clipboard. The process keeps its own
// clipboard; when a desktop clipboard is reachable (see system_clipboard.h) plain text also goes
// there and is read back from there, so other programs see it.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;
class ClipboardStore;

// `use_desktop` false keeps the object to the in-process clipboard.
Ref<Object> new_clipboard_object(ClipboardStore& store, bool use_desktop);
// The factory of sys.ClipBoard.
Ref<Object> create_clipboard_service(EngineLink& engine);

}  // namespace qz
