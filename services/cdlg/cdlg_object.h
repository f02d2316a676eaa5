// sys.CDlg: the font, colour, folder, open, save and printer dialogs, and file information.
// Without a display each dialog writes what it asks to the error stream and takes the next
// queued answer (dialog_answers.h), or is cancelled. With the script's AllowUI off the dialogs
// raise 70, as message boxes do.
#pragma once
#include <functional>

#include "com/object.h"

namespace qz {

class EngineLink;

// `allow_ui` tells whether the script may show dialogs at the moment of the call.
Ref<Object> new_cdlg_object(std::function<bool()> allow_ui);
// The factory of sys.CDlg.
Ref<Object> create_cdlg_service(EngineLink& engine);

}  // namespace qz
