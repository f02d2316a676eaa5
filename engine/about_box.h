// The About box, shown when the engine gets an empty command line. On a display it is a window
// of the toolkit that stays until closed; without one its texts go to the error stream, and it
// is closed at once.
#pragma once
#include <functional>
#include <string>

#include "platform/window/dialog_services.h"

namespace qz {

// The box's texts, one per line, in the engine's language.
std::u16string about_box_text(int language_id);
// The texts of the window, in the engine's language; `help_file` is the help file to open.
AboutBoxTexts about_box_texts(int language_id, std::u16string help_file);
// `closed` runs once the box has been closed (at once without a display).
void show_about_box(std::u16string help_file, std::function<void()> closed);

}  // namespace qz
