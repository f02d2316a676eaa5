// The About box, shown when the engine gets an empty command line. Without a display its
// texts go to the error stream, and it is closed at once.
#pragma once
#include <string>

namespace qz {

// The box's texts, one per line, in the engine's language.
std::u16string about_box_text(int language_id);
void show_about_box();

}  // namespace qz
