// Answers for the common dialogs when there is no display: each dialog takes the next queued
// answer (a text: the chosen path, colour, printer or font; nullopt: Cancel). With nothing
// queued a dialog is cancelled, so an unattended script never writes or reads a file nobody
// chose.
#pragma once
#include <optional>
#include <string>

namespace qz {

void queue_common_dialog_answer(std::optional<std::u16string> answer);
void clear_common_dialog_answers();
// True while a queued answer waits: the dialogs then take it instead of asking anyone.
bool common_dialog_answer_queued();
// The next answer; nullopt (Cancel) when nothing is queued.
std::optional<std::u16string> next_common_dialog_answer();

}  // namespace qz
