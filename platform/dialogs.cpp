#include "platform/dialogs.h"

#include <cstdlib>
#include <cstring>
#include <deque>

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
  if (q.empty()) return default_answer(buttons);
  int answer = q.front();
  q.pop_front();
  return answer;
}

std::optional<std::u16string> input_box(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view default_text) {
  auto& q = queues().texts;
  if (q.empty() && dialogs_on_display()) return window_system().dialogs().input_box(prompt, title, default_text);
  show(prompt, title);
  if (q.empty()) return std::u16string(default_text);
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
