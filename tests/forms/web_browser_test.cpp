// The browser control's events against a stand-in page view: the arguments each procedure gets
// and the Cancel it answers with (the procedure's own Cancel, or a non-empty result).
#include "platform/qt/web_view.h"
#include "tests/forms/form_script_fixture.h"

namespace qz {
namespace {

struct FakeView final : WebView {
  static inline FakeView* last = nullptr;
  explicit FakeView(QWidget* parent) : w(new QWidget(parent)) { last = this; }
  QWidget* widget() override { return w; }
  void navigate(const QString& u) override { navigated = u; }
  void set_html(const QString&) override {}
  void back() override {}
  void forward() override {}
  void reload() override {}
  void stop() override { ++stops; }
  QString url() const override { return navigated; }
  QString title() const override { return QStringLiteral("T"); }
  bool busy() const override { return false; }
  QWidget* w;
  QString navigated;
  int stops = 0;
};

class WebBrowserTest : public FormScriptTest {
 protected:
  void SetUp() override {
    set_web_view_factory([](QWidget* parent) { return std::make_unique<FakeView>(parent); });
    FakeView::last = nullptr;
    FormScriptTest::SetUp();
    form->show2(false);
    settle();
    // The form's own element 0 never makes a view: only a shown or used element does.
    EXPECT_EQ(FakeView::last, nullptr);
    add({Variant(u"web"), Variant(int16_t{1})});
    settle();
  }
  void TearDown() override {
    FormScriptTest::TearDown();
    set_web_view_factory(nullptr);
  }
  FakeView& view() { return *FakeView::last; }
};

TEST_F(WebBrowserTest, NavigationAndPlainEvents) {
  code(u"Sub Web1_BeforeNavigate2(pDisp, URL, Flags, Target, PostData, Headers, Cancel)\n"
       u"log = log & \"before \" & URL & \" \"\nIf URL = \"http://no/\" Then Cancel = True\nEnd Sub\n"
       u"Sub Web1_ProgressChange(p, m)\nlog = log & p & \"/\" & m & \" \"\np = 0\nEnd Sub\n"
       u"Sub Web1_NavigateComplete2(pDisp, URL)\nlog = log & \"nav \" & TypeName(pDisp) & \" \"\nEnd Sub\n"
       u"Sub Web1_StatusTextChange(Text)\nlog = log & \"status \" & Text & \" \"\nEnd Sub\n");
  ASSERT_NE(FakeView::last, nullptr);
  element(u"web", 1)->call(u"Navigate", {Variant(u"http://yes/")});
  EXPECT_EQ(view().navigated, "http://yes/");
  EXPECT_EQ(to_u16(element(u"web", 1)->get(u"LocationURL")), u"http://yes/");
  EXPECT_FALSE(view().before_navigate("http://yes/"));
  EXPECT_TRUE(view().before_navigate("http://no/"));
  view().progress(30, 100);
  view().navigate_complete("http://yes/");
  view().status_text("link");
  EXPECT_EQ(log(), u"before http://yes/ before http://no/ 30/100 nav WebBrowser status link ");
}

TEST_F(WebBrowserTest, ResultDecidesCancelOnlyWhenItHasAValue) {
  struct Case {
    std::u16string code;
    bool cancel;
  };
  // A Sub (Empty result) keeps the Cancel it set; a function's value overrides it; an error
  // after setting Cancel keeps it; no procedure at all leaves it as it was.
  const Case cases[] = {
      {u"Sub Web1_FileDownload(Cancel)\nCancel = True\nEnd Sub\n", true},
      {u"Function Web1_FileDownload(Cancel)\nCancel = True\nWeb1_FileDownload = False\nEnd Function\n", false},
      {u"Function Web1_FileDownload(Cancel)\nWeb1_FileDownload = 1\nEnd Function\n", true},
      {u"Function Web1_FileDownload(Cancel)\nCancel = True\nErr.Raise 5\nEnd Function\n", true},
      {u"Function Web1_FileDownload(Cancel)\nWeb1_FileDownload = \"text\"\nEnd Function\n", false},
      {u"", false},
  };
  for (const Case& c : cases) {
    control->reset();
    control->add_code(u"Dim log, answer\r\n");
    set_forms_script_control([this] { return control.get(); });
    module = control->add_module(u"2_mdl_form_");
    code(c.code);
    EXPECT_EQ(view().file_download("http://x/f.zip"), c.cancel) << u16_to_utf8(c.code);
  }
}

TEST_F(WebBrowserTest, NavigateErrorAndNewWindowTakeTheResult) {
  code(u"Function Web1_NavigateError(pDisp, URL, Frame, StatusCode, Cancel)\n"
       u"log = log & \"error \" & StatusCode & \" \"\nWeb1_NavigateError = (StatusCode = 404)\nEnd Function\n"
       u"Sub Web1_NewWindow2(ppDisp, Cancel)\nlog = log & \"new \" & TypeName(ppDisp) & \" \"\nCancel = True\nEnd Sub\n");
  EXPECT_TRUE(view().navigate_error("http://x/", 404));
  EXPECT_FALSE(view().navigate_error("http://x/", 500));
  EXPECT_TRUE(view().new_window());
  EXPECT_EQ(log(), u"error 404 error 500 new Nothing ");
}

}  // namespace
}  // namespace qz
