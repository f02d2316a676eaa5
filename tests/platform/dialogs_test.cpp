#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include "tests/platform/env_guard.h"

namespace qz {
namespace {

using test_support::EnvGuard;

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override { clear_dialog_answers(); }
  void TearDown() override { clear_dialog_answers(); }
  EnvGuard env_{"QUAZEL_OUTPUT_CP"};
};

TEST_F(Dialogs, DefaultButtonOfEveryStyle) {
  struct Case { int style; int answer; };
  const Case cases[] = {
      {0, kAnswerOk},          {1, kAnswerOk},           {0x101, kAnswerCancel},
      {2, kAnswerAbort},       {0x102, kAnswerRetry},    {0x202, kAnswerIgnore},
      {3, kAnswerYes},         {0x103, kAnswerNo},       {0x203, kAnswerCancel},
      {4, kAnswerYes},         {0x104, kAnswerNo},       {0x204, kAnswerYes},   // beyond the set: first
      {5, kAnswerRetry},       {0x105, kAnswerCancel},
      {6, kAnswerCancel},      {0x106, kAnswerTryAgain}, {0x206, kAnswerContinue},
      {0x300, kAnswerOk},      {0x303, kAnswerYes},      {7, kAnswerOk},
      {4 | 32 | 4096, kAnswerYes},                      // icon and modality bits ignored
      {0x104 | 48 | 0x10000, kAnswerNo},
  };
  for (const auto& c : cases) EXPECT_EQ(default_answer(c.style), c.answer) << "style " << std::hex << c.style;
}

TEST_F(Dialogs, MessageBoxPrintsAndAnswersWithTheDefault) {
  testing::internal::CaptureStderr();
  int answer = message_box(u"Save changes?\r\nAll of them", 0x103, u"Editor");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Editor: Save changes?\nAll of them\n");
  EXPECT_EQ(answer, kAnswerNo);

  testing::internal::CaptureStderr();
  message_box(u"no title", 0, u"");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "no title\n");
}

TEST_F(Dialogs, TextUsesTheOutputCodePage) {
  EnvGuard::set("QUAZEL_OUTPUT_CP", "1251");
  testing::internal::CaptureStderr();
  message_box(u"\u0414\u0430", 0, u"\u0418");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "\xC8: \xC4\xE0\n");
}

TEST_F(Dialogs, QueuedAnswersComeFirstAndInOrder) {
  queue_dialog_answer(kAnswerRetry);
  queue_dialog_answer(kAnswerCancel);
  queue_dialog_answer(u"typed");
  queue_dialog_answer(std::nullopt);
  testing::internal::CaptureStderr();
  EXPECT_EQ(input_box(u"Name?", u"T", u"default"), u"typed");  // its own queue
  EXPECT_EQ(message_box(u"a", 5, u"T"), kAnswerRetry);
  EXPECT_EQ(message_box(u"b", 5, u"T"), kAnswerCancel);
  EXPECT_EQ(message_box(u"c", 0x105, u"T"), kAnswerCancel);    // queue empty: the default
  EXPECT_EQ(input_box(u"Name?", u"T", u"default"), std::nullopt);
  EXPECT_EQ(input_box(u"Name?", u"T", u"default"), u"default");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "T: Name?\nT: a\nT: b\nT: c\nT: Name?\nT: Name?\n");
}

TEST_F(Dialogs, ClearDropsQueuedAnswers) {
  queue_dialog_answer(kAnswerNo);
  queue_dialog_answer(u"x");
  clear_dialog_answers();
  testing::internal::CaptureStderr();
  EXPECT_EQ(message_box(u"q", 4, u"T"), kAnswerYes);
  EXPECT_EQ(input_box(u"q", u"T", u""), u"");
  testing::internal::GetCapturedStderr();
}

}  // namespace
}  // namespace qz
