#include "platform/window/window_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace qz {
namespace {

class WindowSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<EventLoop> loop = make_poll_event_loop();
  WindowSystem ws{loop.get()};
  std::vector<WindowEventKind> seen;
  void record(WindowHandle h) {
    ws.set_listener(h, [this](WindowEvent& e) { seen.push_back(e.kind); });
  }
};

TEST_F(WindowSystemTest, ParentsChildrenAndZOrder) {
  WindowHandle top = ws.create(0, u"Form");
  WindowHandle a = ws.create(top, u"Button");
  WindowHandle b = ws.create(top, u"Label");
  EXPECT_EQ(ws.create(9999, u"X"), 0);
  EXPECT_EQ(ws.parent(a), top);
  EXPECT_EQ(ws.children(top), (std::vector<WindowHandle>{a, b}));
  ws.bring_to_top(a);
  EXPECT_EQ(ws.children(top), (std::vector<WindowHandle>{b, a}));
  ws.send_to_back(a);
  EXPECT_EQ(ws.children(top), (std::vector<WindowHandle>{a, b}));
  EXPECT_TRUE(ws.destroy(top));
  EXPECT_FALSE(ws.exists(a));
  EXPECT_FALSE(ws.exists(b));
  EXPECT_EQ(ws.count(), 0u);
}

TEST_F(WindowSystemTest, GeometryPropertiesAndResize) {
  WindowHandle h = ws.create(0, u"Form");
  record(h);
  ws.move(h, {15, 30, 4500, -3});
  WindowRect r = ws.rect(h);
  EXPECT_EQ(r.left, 15);
  EXPECT_EQ(r.width, 4500);
  EXPECT_EQ(r.height, 0);  // no negative sizes
  ws.move(h, {0, 0, 4500, 0});  // same size: no Resize
  EXPECT_EQ(seen, (std::vector<WindowEventKind>{WindowEventKind::Resize}));
  ws.set_property(h, u"Caption", Variant(u"Hi"));
  EXPECT_EQ(ws.property(h, u"CAPTION").str_view(), u"Hi");
  EXPECT_TRUE(ws.property(h, u"Missing").is_empty());
  ws.remove_property(h, u"caption");
  EXPECT_FALSE(ws.has_property(h, u"Caption"));
}

TEST_F(WindowSystemTest, InputGoesOnlyToVisibleEnabledWindows) {
  WindowHandle top = ws.create(0, u"Form");
  WindowHandle b = ws.create(top, u"Button");
  record(b);
  ws.show(b, true);
  EXPECT_FALSE(ws.click(b));  // its form is hidden
  ws.show(top, true);
  ws.enable(b, false);
  seen.clear();
  EXPECT_FALSE(ws.click(b));
  EXPECT_TRUE(seen.empty());
  ws.enable(b, true);
  EXPECT_TRUE(ws.click(b));
  EXPECT_EQ(seen, (std::vector<WindowEventKind>{WindowEventKind::GotFocus, WindowEventKind::MouseDown,
                                                 WindowEventKind::MouseUp, WindowEventKind::Click}));
  EXPECT_EQ(ws.focus(), b);
}

TEST_F(WindowSystemTest, ShowingPaintsWhatBecameVisible) {
  WindowHandle top = ws.create(0, u"Form");
  WindowHandle shown = ws.create(top, u"A");
  WindowHandle hidden = ws.create(top, u"B");
  std::vector<std::pair<WindowHandle, WindowEventKind>> log;
  for (WindowHandle h : {top, shown, hidden})
    ws.set_listener(h, [&log, h](WindowEvent& e) { log.emplace_back(h, e.kind); });
  ws.show(shown, true);  // its form is hidden: nothing on screen to paint
  ws.show(top, true);
  using P = std::pair<WindowHandle, WindowEventKind>;
  EXPECT_EQ(log, (std::vector<P>{{shown, WindowEventKind::Shown}, {top, WindowEventKind::Shown},
                                 {top, WindowEventKind::Paint}, {shown, WindowEventKind::Paint}}));
  log.clear();
  ws.show(top, true);  // no change: no events
  EXPECT_TRUE(log.empty());
}

TEST_F(WindowSystemTest, FocusMovesAndLeavesHiddenWindows) {
  WindowHandle top = ws.create(0, u"Form");
  WindowHandle a = ws.create(top, u"A");
  WindowHandle b = ws.create(top, u"B");
  for (WindowHandle h : {top, a, b}) ws.show(h, true);
  std::vector<std::pair<WindowHandle, WindowEventKind>> log;
  for (WindowHandle h : {a, b})
    ws.set_listener(h, [&log, h](WindowEvent& e) { log.emplace_back(h, e.kind); });
  EXPECT_TRUE(ws.set_focus(a));
  EXPECT_TRUE(ws.set_focus(b));
  EXPECT_EQ(log, (std::vector<std::pair<WindowHandle, WindowEventKind>>{
                     {a, WindowEventKind::GotFocus}, {a, WindowEventKind::LostFocus}, {b, WindowEventKind::GotFocus}}));
  ws.show(top, false);  // hiding an ancestor takes the focus away
  EXPECT_EQ(ws.focus(), 0);
  EXPECT_FALSE(ws.set_focus(a));
}

TEST_F(WindowSystemTest, KeyPressCanBeSwallowed) {
  WindowHandle h = ws.create(0, u"Form");
  ws.show(h, true);
  ws.set_listener(h, [](WindowEvent& e) {
    if (e.kind == WindowEventKind::KeyPress && e.code == 'x') e.code = 0;
    if (e.kind == WindowEventKind::KeyPress && e.code == 'a') e.code = 'A';
  });
  int32_t ch = 'a';
  EXPECT_TRUE(ws.key(h, 65, ch));
  EXPECT_EQ(ch, 'A');
  std::u16string accepted;
  EXPECT_TRUE(ws.type_text(h, u"xaxb", &accepted));
  EXPECT_EQ(accepted, u"Ab");
}

TEST_F(WindowSystemTest, CloseCanBeCancelled) {
  WindowHandle h = ws.create(0, u"Form");
  int32_t answer = 1;
  ws.set_listener(h, [&answer](WindowEvent& e) {
    if (e.kind == WindowEventKind::Close) e.cancel = answer;
  });
  EXPECT_FALSE(ws.close(h));
  answer = 0;
  EXPECT_TRUE(ws.close(h));
  EXPECT_FALSE(ws.close(9999));
}

TEST_F(WindowSystemTest, VisibleTopLevelWindowKeepsTheLoopAlive) {
  WindowHandle h = ws.create(0, u"Form");
  WindowHandle child = ws.create(h, u"Button");
  ws.show(child, true);  // a child never holds the loop
  int ticks = 0;
  ws.set_listener(h, [&](WindowEvent& e) {
    if (e.kind != WindowEventKind::Timer) return;
    if (++ticks == 3) ws.destroy(h);  // takes its timer and its hold with it
  });
  ws.show(h, true);
  EXPECT_TRUE(ws.set_timer(h, 7, 10));
  EXPECT_TRUE(ws.has_timer(h, 7));
  EXPECT_FALSE(loop->run());  // ends by itself once the window is gone
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(ws.exists(h));
}

TEST_F(WindowSystemTest, TimerCanBeKilledFromItsOwnTick) {
  WindowHandle h = ws.create(0, u"Form");
  int ticks = 0;
  ws.set_listener(h, [&](WindowEvent& e) {
    if (e.kind == WindowEventKind::Timer && e.code == 2) {
      ++ticks;
      ws.kill_timer(h, 2);
    }
  });
  ws.set_timer(h, 2, 10);
  EXPECT_FALSE(loop->run());
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(ws.kill_timer(h, 2));
}

}  // namespace
}  // namespace qz
