// The form's notification-area icon against a fake notification area: what it shows (icon,
// tip, balloons), the animation of frames, and the mouse on the icon as Tray_<Event> runs.
#include "platform/qt/notification_area.h"
#include "platform/qt/picture.h"
#include "tests/forms/form_script_fixture.h"

namespace qz {
namespace {

// Records what the control asks of the desktop.
struct FakeArea final : NotificationArea {
  static inline FakeArea* last = nullptr;
  static inline bool present = true;
  FakeArea() { last = this; }
  ~FakeArea() override {
    if (last == this) last = nullptr;
  }
  bool available() const override { return present; }
  void show(const QIcon& icon, const QString& t) override {
    ++adds;
    shown = true;
    has_icon = !icon.isNull();
    tip = t;
  }
  void hide() override { shown = false; }
  void set_icon(const QIcon& icon) override {
    has_icon = !icon.isNull();
    icon_size = icon.availableSizes().isEmpty() ? QSize() : icon.availableSizes().front();
  }
  void set_tip(const QString& t) override { tip = t; }
  void show_balloon(const QString& title, const QString& message, int kind, int timeout) override {
    balloon = title + "|" + message + "|" + QString::number(kind) + "|" + QString::number(timeout);
  }
  int adds = 0;
  bool shown = false, has_icon = false;
  QSize icon_size;
  QString tip, balloon;
};

Variant icon_picture(int size) {
  QImage img(size, size, QImage::Format_ARGB32);
  img.fill(Qt::red);
  return Variant(static_cast<Object*>(make_ref<Picture>(img, Picture::kIcon).get()));
}

class TrayIconTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FakeArea::present = true;
    set_notification_area_factory([] { return std::make_unique<FakeArea>(); });
    FormScriptTest::SetUp();
    code(u"Sub Tray_MouseMove()\nlog = log & \"move \"\nEnd Sub\n"
         u"Sub Tray_MouseDown(Button)\nlog = log & \"down\" & Button & \" \"\nButton = 9\nEnd Sub\n"
         u"Sub Tray_MouseUp(Button)\nlog = log & \"up\" & Button & \" \"\nEnd Sub\n"
         u"Sub Tray_DblClick()\nlog = log & \"dbl \"\nEnd Sub\n"
         u"Sub Tray_Animation(i)\nlog = log & \"ani\" & i & \" \"\nEnd Sub\n"
         u"Sub Tray0_MouseDown(Button)\nlog = log & \"WRONG \"\nEnd Sub\n");
    tray = to_object(form->get(u"Tray"));
  }
  void TearDown() override {
    FormScriptTest::TearDown();
    set_notification_area_factory(nullptr);
  }
  FakeArea& area() { return *FakeArea::last; }
  Object* tray = nullptr;
};

TEST_F(TrayIconTest, ShowsOnceWithTipAndIcon) {
  tray->let(u"TrayTip", Variant(u"hello"));
  EXPECT_FALSE(area().shown);  // a tip alone only waits for the next show
  tray->set(u"TrayIcon", icon_picture(16));
  tray->let(u"InTray", Variant(true));
  tray->let(u"InTray", Variant(true));
  EXPECT_EQ(area().adds, 1);
  EXPECT_TRUE(area().shown);
  EXPECT_TRUE(area().has_icon);
  EXPECT_EQ(area().tip, "hello");
  // Bitmaps and Nothing change nothing.
  QImage bmp(8, 8, QImage::Format_RGB32);
  Ref<Picture> bitmap = make_ref<Picture>(bmp);
  tray->set(u"TrayIcon", Variant(static_cast<Object*>(bitmap.get())));
  tray->set(u"TrayIcon", Variant::nothing());
  EXPECT_EQ(as_picture(to_object(tray->get(u"TrayIcon")))->kind(), Picture::kIcon);
  // Tips are cut to the field's 127 characters.
  tray->let(u"TrayTip", Variant(std::u16string(200, u'x')));
  EXPECT_EQ(area().tip.size(), 127);
  tray->call(u"ShowBalloonTip", {Variant(u"msg"), Variant(u"title"), Variant(int16_t{2})});
  EXPECT_EQ(area().balloon, "title|msg|2|30000");
  tray->call(u"DestroyTray");
  EXPECT_FALSE(area().shown);
  EXPECT_FALSE(to_bool(tray->get(u"InTray")));
}

TEST_F(TrayIconTest, MouseMessagesRunTheFormsProcedures) {
  tray->let(u"InTray", Variant(true));
  for (int message : {0x200, 0x201, 0x202, 0x204, 0x205, 0x207, 0x208, 0x203, 0x206, 0x209, 0x2FF})
    area().on_mouse(message);
  settle();
  EXPECT_EQ(log(), u"move down1 up1 down2 up2 down3 up3 dbl dbl dbl ");
}

TEST_F(TrayIconTest, AnimationCyclesFramesAndRestores) {
  tray->let(u"TrayTip", Variant(u"before"));
  tray->let(u"InTray", Variant(true));
  tray->call(u"SetMaxAniIcon", {Variant(int32_t{2})});
  for (int i = 0; i < 3; ++i)
    tray->call(u"SetAniIcon", {Variant(int32_t{i}), icon_picture(8 + i), Variant(u"tip" + std::u16string(1, u'0' + i))});
  EXPECT_THROW(tray->call(u"SetAniIcon", {Variant(int32_t{3}), icon_picture(8), Variant(u"")}), ScriptError);

  // Stepping: frame 0 at once, then next and previous, the tip following each frame.
  tray->call(u"TrayPlay", {Variant(true)});
  EXPECT_EQ(area().tip, "tip0");
  tray->call(u"TrayNext");
  EXPECT_EQ(area().icon_size, QSize(9, 9));
  tray->call(u"TrayPrev");
  tray->call(u"TrayPrev");
  EXPECT_EQ(area().tip, "tip2");
  EXPECT_EQ(log(), u"ani0 ani1 ani0 ani2 ");
  tray->call(u"TrayStop");
  EXPECT_EQ(area().tip, "before");

  // Playing on the timer: 0, 1, 2, 0 ...; AniTip holds the tip during the animation.
  clear_log();
  tray->let(u"AniTip", Variant(u"busy"));
  tray->let(u"Interval", Variant(int32_t{10}));
  tray->call(u"TrayPlay", {Variant(false)});
  ASSERT_TRUE(QTest::qWaitFor([&] { return log().size() >= 20; }, 2000));
  EXPECT_EQ(log().substr(0, 20), u"ani0 ani1 ani2 ani0 ");
  EXPECT_EQ(area().tip, "busy");
  tray->call(u"TrayPause");
  std::u16string paused = log();
  QTest::qWait(60);
  EXPECT_EQ(log(), paused);
  tray->call(u"TrayStop");
  EXPECT_EQ(area().tip, "before");
  // Without an animation TrayStop leaves the tip alone.
  tray->let(u"TrayTip", Variant(u"after"));
  tray->call(u"TrayStop");
  EXPECT_EQ(area().tip, "after");
}

TEST_F(TrayIconTest, OneFrameAndNoFrames) {
  // Before SetMaxAniIcon, TrayPlay fails after switching the tip to AniTip.
  tray->let(u"AniTip", Variant(u"a"));
  EXPECT_THROW(tray->call(u"TrayPlay", {Variant(true)}), ScriptError);
  EXPECT_EQ(to_u16(tray->get(u"TrayTip")), u"a");
  // One frame: the animation runs but never changes anything.
  tray->call(u"SetMaxAniIcon", {Variant(int32_t{0})});
  tray->call(u"SetAniIcon", {Variant(int32_t{0}), icon_picture(8), Variant(u"t")});
  tray->call(u"TrayPlay", {Variant(true)});
  tray->call(u"TrayNext");
  EXPECT_EQ(log(), u"");
}

TEST_F(TrayIconTest, NoNotificationAreaIsReportedAndTheScriptGoesOn) {
  form->unload_request(true);
  FakeArea::present = false;
  tray = to_object(form->get(u"Tray"));
  EXPECT_FALSE(to_bool(tray->get(u"TrayAvailable")));
  tray->let(u"InTray", Variant(true));
  EXPECT_TRUE(to_bool(tray->get(u"InTray")));
  tray->let(u"TrayTip", Variant(u"still kept"));
  EXPECT_EQ(to_u16(tray->get(u"TrayTip")), u"still kept");
}

}  // namespace
}  // namespace qz
