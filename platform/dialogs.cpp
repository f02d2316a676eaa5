#include "platform/dialogs.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

#include "com/str.h"

#include "platform/output.h"
#include "platform/window/window_system.h"

namespace qz {
namespace {

struct AnswerQueues {
  std::deque<int> buttons;
  std::deque<std::optional<std::u16string>> texts;
};

AnswerQueues& queues() {
  static AnswerQueues q;
  return q;
}

// "title: prompt" on one line, with the prompt's own line breaks as LF.
void show(std::u16string_view prompt, std::u16string_view title) {
  std::u16string line(title);
  if (!line.empty()) line += u": ";
  for (size_t i = 0; i < prompt.size(); ++i) {
    if (prompt[i] == u'\r') {
      line += u'\n';
      if (i + 1 < prompt.size() && prompt[i + 1] == u'\n') ++i;
    } else {
      line += prompt[i];
    }
  }
  line += u'\n';
  write_stderr(line);
}

// Someone can answer on this terminal: standard input and the error stream are both one.
// (A test harness that captures the error stream never counts, so no test waits.)
bool terminal_can_answer() { return ::isatty(STDIN_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1; }

// One line typed on standard input, without its line break; nullopt at the end of the input.
std::optional<std::u16string> read_terminal_line() {
  constexpr size_t kMaxLine = 64 * 1024;
  std::string line;
  for (;;) {
    char c;
    ssize_t n = ::read(STDIN_FILENO, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (line.empty()) return std::nullopt;
      break;
    }
    if (c == '\n') break;
    if (line.size() < kMaxLine) line += c;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return utf8_to_u16(line);
}

std::u16string_view button_label(int answer) {
  switch (answer) {
    case kAnswerOk: return u"OK";
    case kAnswerCancel: return u"Cancel";
    case kAnswerAbort: return u"Abort";
    case kAnswerRetry: return u"Retry";
    case kAnswerIgnore: return u"Ignore";
    case kAnswerYes: return u"Yes";
    case kAnswerNo: return u"No";
    case kAnswerTryAgain: return u"Try Again";
    case kAnswerContinue: return u"Continue";
    default: return u"?";
  }
}

// Asks until a button is named: its number, or the start of its label in any case. An empty
// line takes the default; the end of the input takes Cancel when there is one.
int ask_on_terminal(const std::vector<int>& choices, int fallback) {
  std::u16string menu;
  for (size_t i = 0; i < choices.size(); ++i) {
    if (i) menu += u"  ";
    menu += std::u16string(1, static_cast<char16_t>(u'1' + i)) + u") " + std::u16string(button_label(choices[i]));
  }
  menu += u" [" + std::u16string(button_label(fallback)) + u"]: ";
  for (;;) {
    write_stderr(menu);
    std::optional<std::u16string> line = read_terminal_line();
    if (!line) {
      for (int c : choices)
        if (c == kAnswerCancel) return c;
      return fallback;
    }
    std::u16string_view t = *line;
    while (!t.empty() && (t.front() == u' ' || t.front() == u'\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == u' ' || t.back() == u'\t')) t.remove_suffix(1);
    std::u16string typed = lower(t);
    if (typed.empty()) return fallback;
    if (typed.size() == 1 && typed[0] >= u'1' && typed[0] < u'1' + choices.size()) return choices[typed[0] - u'1'];
    int found = 0, matches = 0;
    for (int c : choices)
      if (lower(button_label(c)).rfind(typed, 0) == 0) {
        found = c;
        ++matches;
      }
    if (matches == 1) return found;
  }
}

}  // namespace

int default_answer(int buttons) {
  static const int kSets[8][3] = {
      {kAnswerOk, 0, 0},
      {kAnswerOk, kAnswerCancel, 0},
      {kAnswerAbort, kAnswerRetry, kAnswerIgnore},
      {kAnswerYes, kAnswerNo, kAnswerCancel},
      {kAnswerYes, kAnswerNo, 0},
      {kAnswerRetry, kAnswerCancel, 0},
      {kAnswerCancel, kAnswerTryAgain, kAnswerContinue},
      {kAnswerOk, 0, 0},  // not a valid set: shown as OK
  };
  const int* set = kSets[buttons & 7];
  int index = (buttons >> 8) & 3;
  return index < 3 && set[index] ? set[index] : set[0];
}

namespace {

// The buttons of a style, in order.
std::vector<int> button_set(int buttons) {
  std::vector<int> set;
  for (int i = 0; i < 3; ++i) {
    int answer = default_answer((buttons & 7) | (i << 8));
    if (i > 0 && answer == default_answer(buttons & 7)) break;  // past the last button
    set.push_back(answer);
  }
  return set;
}

}  // namespace

bool dialogs_on_display() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  if (!set("DISPLAY") && !set("WAYLAND_DISPLAY")) return false;
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && (std::strncmp(platform, "offscreen", 9) == 0 || std::strncmp(platform, "minimal", 7) == 0))
    return false;
  try {
    return !window_system().offscreen();
  } catch (...) {
    return false;  // the toolkit does not start on this display
  }
}

int message_box(std::u16string_view prompt, int buttons, std::u16string_view title) {
  auto& q = queues().buttons;
  if (q.empty() && dialogs_on_display()) return window_system().dialogs().message_box(prompt, buttons, title);
  show(prompt, title);
  if (q.empty()) {
    std::vector<int> choices = button_set(buttons);
    // A question is never answered on the user's behalf when someone is there to answer it.
    if (terminal_can_answer() && choices.size() > 1) return ask_on_terminal(choices, default_answer(buttons));
    return default_answer(buttons);
  }
  int answer = q.front();
  q.pop_front();
  return answer;
}

std::optional<std::u16string> input_box(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view default_text) {
  auto& q = queues().texts;
  if (q.empty() && dialogs_on_display()) return window_system().dialogs().input_box(prompt, title, default_text);
  show(prompt, title);
  if (q.empty()) {
    if (!terminal_can_answer()) return std::u16string(default_text);
    // An empty line keeps the default text; the end of the input is Cancel.
    write_stderr(u"[" + std::u16string(default_text) + u"]: ");
    std::optional<std::u16string> line = read_terminal_line();
    if (line && line->empty()) return std::u16string(default_text);
    return line;
  }
  std::optional<std::u16string> answer = std::move(q.front());
  q.pop_front();
  return answer;
}

void queue_dialog_answer(int button) { queues().buttons.push_back(button); }
void queue_dialog_answer(std::optional<std::u16string> text) { queues().texts.push_back(std::move(text)); }

void clear_dialog_answers() {
  queues().buttons.clear();
  queues().texts.clear();
}

}  // namespace qz
