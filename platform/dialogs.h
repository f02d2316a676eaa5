// Message and input boxes. On a display (DISPLAY or WAYLAND_DISPLAY set, not Qt's offscreen
// platform) they are the toolkit's dialogs and wait for the user. Without one the text goes to
// the error stream as "title: prompt"; when standard input and the error stream are a terminal
// the user answers there (a button by number or name, or the input text), otherwise the box
// answers at once with its default. A test's queued answer always comes first, so no test waits. Whether dialogs are allowed at all
// (AllowUI) is the caller's business.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qz {

// Buttons as a message box reports them.
enum DialogAnswer : int {
  kAnswerOk = 1, kAnswerCancel = 2, kAnswerAbort = 3, kAnswerRetry = 4, kAnswerIgnore = 5,
  kAnswerYes = 6, kAnswerNo = 7, kAnswerTryAgain = 10, kAnswerContinue = 11,
};

// `buttons` is the MsgBox style: the button set in bits 0-2 (OK, OK/Cancel,
// Abort/Retry/Ignore, Yes/No/Cancel, Yes/No, Retry/Cancel, Cancel/Try Again/Continue) and the
// default button in bits 8-9; icon and modality bits are ignored.
int message_box(std::u16string_view prompt, int buttons, std::u16string_view title);
// The answer of the default button of a style (the first button when the style names a
// default beyond the last one).
int default_answer(int buttons);

// The text in the field when confirmed, nullopt when cancelled.
std::optional<std::u16string> input_box(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view default_text);

// True when dialogs can be shown to a user: a display, and the toolkit loads on it.
bool dialogs_on_display();

// Test hooks: answers taken in order by the next message boxes (a button number) and input
// boxes (a text, or nullopt for Cancel). Boxes with nothing queued use their default.
void queue_dialog_answer(int button);
void queue_dialog_answer(std::optional<std::u16string> text);
void clear_dialog_answers();

}  // namespace qz
