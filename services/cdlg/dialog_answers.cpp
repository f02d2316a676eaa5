#include "services/cdlg/dialog_answers.h"

#include <deque>

namespace qz {

namespace {
std::deque<std::optional<std::u16string>>& answers() {
  static std::deque<std::optional<std::u16string>> q;
  return q;
}
}  // namespace

void queue_common_dialog_answer(std::optional<std::u16string> answer) { answers().push_back(std::move(answer)); }
void clear_common_dialog_answers() { answers().clear(); }
bool common_dialog_answer_queued() { return !answers().empty(); }

std::optional<std::u16string> next_common_dialog_answer() {
  if (answers().empty()) return std::nullopt;
  auto a = std::move(answers().front());
  answers().pop_front();
  return a;
}

}  // namespace qz
