// The dialogs on Qt, built and read without being shown modally: the script error dialog and
// its details from the engine's report, message boxes from MsgBox styles, the About box, and
// the file filters of the open and save dialogs.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <memory>

#include "engine/about_box.h"
#include "engine/script_error_dialog.h"
#include "platform/qt/about_window.h"
#include "platform/qt/error_dialog.h"
#include "platform/qt/qt_dialogs.h"
#include "tests/forms/gui_fixture.h"

namespace qz {
namespace {

QString text_of(QWidget* parent, const char* name) {
  auto* l = parent->findChild<QLabel*>(QString::fromLatin1(name));
  if (l) return l->text();
  auto* b = parent->findChild<QPushButton*>(QString::fromLatin1(name));
  return b ? b->text() : QStringLiteral("<none>");
}

ScriptErrorLines lines_for(std::u16string code) {
  ScriptErrorLines l;
  l.header = u"Error [13] line - 5";
  l.type = u"Type -> Type mismatch";
  l.code = std::move(code);
  return l;
}

ErrorReportContext context(int language) {
  return ErrorReportContext{language, u"/tmp/my script.qz", u"dev@example.org", u"Linux 6.1"};
}

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { install_offscreen_window_system(); }
};

TEST_F(DialogsTest, ErrorReportEncodesBlanksAndLineBreaksOnly) {
  ScriptErrorReport r = build_error_report(lines_for(u"Code -> x = 1 + \"a&b\""), u"x = 1\r\ny = 2", context(1033));
  EXPECT_EQ(r.mail_link,
            u"mailto:dev@example.org?subject=Quazel_Error_Mail&body=------Begin%20of%20Report-------%0D%0A"
            u"Error%20[13]%20line%20-%205%0D%0AType%20->%20Type%20mismatch%0D%0ACode%20->%20x%20=%201%20+%20\"a&b\"%0D%0A"
            u"Other%20->%20x%20=%201%0D%0Ay%20=%202%0D%0APath%20->%20/tmp/my%20script.qz%0D%0A"
            u"Version%20->%207.0.0%0D%0AWindows%20->%20Linux%206.1%0D%0A-------End%20of%20Report--------");
  EXPECT_EQ(r.send, u"Send report");
  EXPECT_EQ(r.click_here, u"click here.");
  EXPECT_EQ(r.details_title, u"Info this error");
  EXPECT_EQ(r.details_code, u"Code -> x = 1 + \"a&b\"");
  EXPECT_EQ(r.details_version, u"Quazel Engine v7.0");
}

TEST_F(DialogsTest, RussianTextsAndTheBareCodePrefix) {
  ScriptErrorReport r = build_error_report(lines_for(u"Код -> "), u"a = b", context(1049));
  EXPECT_EQ(r.send, u"Отправить отчет");
  EXPECT_EQ(r.dont_send, u"Не отправлять");
  EXPECT_EQ(r.details_title, u"Сведения об ошибке ");
  EXPECT_EQ(r.details_close, u"Закрыть");
  // The control gave no source text: the looked-up lines follow the prefix.
  EXPECT_EQ(r.details_code, u"Код -> a = b");
  EXPECT_EQ(r.intro.substr(0, 9), u"\r\n       ");
}

TEST_F(DialogsTest, ErrorDialogShowsTheReportAndSendsTheLink) {
  ScriptErrorReport r = build_error_report(lines_for(u"Code -> x"), u"x", context(1033));
  std::u16string sent;
  std::unique_ptr<QDialog> d(build_error_dialog(r, [&](const std::u16string& link) { sent = link; }));
  EXPECT_EQ(d->windowTitle(), "Quazel");
  EXPECT_TRUE(text_of(d.get(), "Label1").startsWith("Quazel - has encountered a"));
  EXPECT_EQ(text_of(d.get(), "Label3"), "Please tell Brenwick about this problem.");
  EXPECT_EQ(text_of(d.get(), "Label6"), "click here.");
  EXPECT_EQ(text_of(d.get(), "Command2"), "Don't send");
  d->findChild<QPushButton*>("Command1")->click();
  EXPECT_EQ(sent, r.mail_link);
  EXPECT_EQ(d->result(), QDialog::Accepted);

  std::unique_ptr<QDialog> details(build_error_details(r));
  EXPECT_EQ(details->windowTitle(), "Quazel Report Error");
  EXPECT_EQ(text_of(details.get(), "Label2"), "Error [13] line - 5");
  EXPECT_EQ(text_of(details.get(), "Label3"), "Type -> Type mismatch");
  EXPECT_EQ(text_of(details.get(), "Label4"), "Code -> x");
  EXPECT_EQ(text_of(details.get(), "Label7"), "Quazel Engine v7.0");
  EXPECT_EQ(text_of(details.get(), "Command1"), "Close");
}

TEST_F(DialogsTest, ClickHereOpensTheDetailsOverTheDialog) {
  ScriptErrorReport r = build_error_report(lines_for(u"Code -> x"), u"x", context(1033));
  std::unique_ptr<QDialog> d(build_error_dialog(r, nullptr));
  d->show();
  QString seen;
  QTimer::singleShot(50, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w->windowTitle() == "Quazel Report Error") {
        seen = text_of(w, "Label2");
        w->findChild<QPushButton*>("Command1")->click();
      }
  });
  QTest::mouseClick(d->findChild<QLabel*>("Label6"), Qt::LeftButton);
  EXPECT_EQ(seen, "Error [13] line - 5");
}

TEST_F(DialogsTest, MessageBoxButtonsDefaultsAndAnswers) {
  struct Case {
    int style;
    std::vector<int> answers;
    int default_answer;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {0, {1}, 1, QMessageBox::NoIcon},
      {1 + 256, {1, 2}, 2, QMessageBox::NoIcon},
      {2 + 512 + 16, {3, 4, 5}, 5, QMessageBox::Critical},
      {3 + 32, {6, 7, 2}, 6, QMessageBox::Question},
      {4 + 256 + 48, {6, 7}, 7, QMessageBox::Warning},
      {5 + 64, {4, 2}, 4, QMessageBox::Information},
      {6 + 768, {2, 10, 11}, 2, QMessageBox::NoIcon},  // no fourth button: the first is the default
  };
  for (const Case& c : cases) {
    std::unique_ptr<QMessageBox> box(build_message_box(u"prompt", c.style, u"title"));
    EXPECT_EQ(box->icon(), c.icon) << c.style;
    std::vector<int> answers;
    for (QAbstractButton* b : box->buttons()) answers.push_back(b->property("quazelAnswer").toInt());
    std::sort(answers.begin(), answers.end());
    std::vector<int> expected = c.answers;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(answers, expected) << c.style;
    EXPECT_EQ(box->defaultButton()->property("quazelAnswer").toInt(), c.default_answer) << c.style;
  }
  // Answered by a click, through the modal run.
  std::unique_ptr<QMessageBox> box(build_message_box(u"Go on?", 4, u"Q"));
  QTimer::singleShot(20, [&] {
    for (QAbstractButton* b : box->buttons())
      if (b->property("quazelAnswer").toInt() == 7) b->click();
  });
  run_dialog(*box);
  EXPECT_EQ(answer_of(*box), 7);
}

TEST_F(DialogsTest, FileFiltersBecomeNameFilters) {
  EXPECT_EQ(file_name_filters(u"Text|*.txt|Pictures|*.bmp;*.png|"),
            (QStringList{"Text (*.txt)", "Pictures (*.bmp *.png)"}));
  EXPECT_EQ(file_name_filters(u""), QStringList{});
  EXPECT_EQ(file_name_filters(u"odd"), QStringList{});
}

TEST_F(DialogsTest, AboutBoxLinksOkAndCircles) {
  std::vector<std::u16string> opened;
  bool closed = false;
  AboutBoxTexts t = about_box_texts(1033, u"/opt/quazel/help.chm");
  EXPECT_EQ(t.version, u"Version 7.0");
  QWidget* w = build_about_window(t, [&](const std::u16string& s) { opened.push_back(s); }, [&] { closed = true; });
  w->show();
  EXPECT_EQ(w->windowTitle(), "About Quazel");
  EXPECT_EQ(text_of(w, "lblVersion"), "Version 7.0");
  QTest::mouseClick(w->findChild<QLabel*>("Label1"), Qt::LeftButton);
  // A click on the title starts the circles; more clicks do not restart the timer.
  auto* timer = w->findChild<QTimer*>("Timer1");
  EXPECT_FALSE(timer->isActive());
  QTest::mouseClick(w->findChild<QLabel*>("lblTitle"), Qt::LeftButton);
  EXPECT_TRUE(timer->isActive());
  int remaining = timer->remainingTime();
  QTest::mouseClick(w->findChild<QLabel*>("lblTitle"), Qt::LeftButton);
  EXPECT_LE(timer->remainingTime(), remaining);
  w->findChild<QPushButton*>("cmdOK")->click();
  settle();
  EXPECT_TRUE(closed);
  EXPECT_EQ(opened, (std::vector<std::u16string>{t.web_address, u"/opt/quazel/help.chm"}));
}

}  // namespace
}  // namespace qz
