// Controls created by ProgID at run time: the engine's own components and the socket control,
// their events routed to <name>_<Event> (copies) or to Control_Event (the event's own values),
// and the socket control against itself on loopback.
#include <chrono>
#include <filesystem>
#include <functional>

#include "tests/forms/form_script_fixture.h"

namespace qz {
namespace {

class RunTimeControlsTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    control->add_code(u"Dim srv, peer, cli\r\n");
    form->show2(false);
    settle();
  }
  Object* create(std::u16string_view progid, std::u16string_view name) {
    Variant c = form->call(u"CreateControl", {Variant(progid), Variant(name)});
    return to_object(c);
  }
  QWidget* widget_of_object(Object* o) { return widget_of(dynamic_cast<ToolkitWindow*>(o)); }
  // Runs the engine's loop (sockets) until `done` or two seconds have passed.
  template <class Pred>
  bool pump(Pred done) {
    EventLoop& loop = event_loop();
    EventLoop::TimerId tick = loop.set_timer(10, [] {});
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done() && std::chrono::steady_clock::now() < until) loop.run_once();
    loop.kill_timer(tick);
    return done();
  }
  bool logged(std::u16string_view text) { return log().find(text) != std::u16string::npos; }
  static int error_number_of(const std::function<void()>& f) {
    try {
      f();
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  }
};

TEST_F(RunTimeControlsTest, ComponentsByProgIdRouteTheirEventsByName) {
  code(u"Sub bar_Click()\nlog = log & \"bar \"\nEnd Sub\n"
       u"Sub skin_MouseDown(Button, Shift, X, Y)\nlog = log & \"skin\" & Button & \" \"\nButton = 0\nEnd Sub\n"
       u"Sub skin_Paint()\nlog = log & \"paint \"\nEnd Sub\n"
       u"Sub Control_Event(Info)\nlog = log & \"ev:\" & Info.Name & \" \"\nEnd Sub\n");
  Object* bar = create(u"Tolvex.ProgressBar", u"bar");
  bar->let(u"BarProcent", Variant(int32_t{30}));
  EXPECT_EQ(to_long(bar->get(u"BarProcent")), 30);
  QTest::mouseClick(widget_of_object(bar), Qt::LeftButton, {}, QPoint(2, 2));
  Object* skin = create(u"tolvex.skinshape", u"skin");
  QTest::mousePress(widget_of_object(skin), Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(log(), u"bar paint skin1 ");

  // A tray made at run time belongs to the form; an unknown class is 429.
  Object* tray = create(u"Tolvex.Tray", u"");
  EXPECT_TRUE(to_object(tray->get(u"Parent")) == form.get());
  EXPECT_EQ(error_number_of([&] { create(u"Tolvex.Nothing", u"x"); }), 429);
}

TEST_F(RunTimeControlsTest, SocketsTalkOverLoopback) {
  code(u"Sub srv_ConnectionRequest(id)\nlog = log & \"request \"\npeer.Accept id\nEnd Sub\n"
       u"Sub cli_Connect()\nlog = log & \"connected \"\ncli.SendData \"hello\"\nEnd Sub\n"
       u"Sub peer_DataArrival(n)\nDim s\npeer.GetData s\nlog = log & \"peer got \" & s & \" \"\n"
       u"peer.SendData \"back\"\nEnd Sub\n"
       u"Sub cli_SendComplete()\nlog = log & \"sent \"\nEnd Sub\n"
       u"Sub cli_DataArrival(n)\nDim b\ncli.PeekData b\ncli.GetData b, vbArray + vbByte\n"
       u"log = log & \"cli got \" & n & \":\" & UBound(b) & \" \"\npeer.Close\nEnd Sub\n"
       u"Sub cli_Close()\nlog = log & \"closed \"\nEnd Sub\n");
  control->execute_statement(u"Set srv = Form1.CreateControl(\"MSWinsockLib.Winsock\", \"srv\")");
  control->execute_statement(u"Set peer = Form1.CreateControl(\"MSWinsockLib.Winsock\", \"peer\")");
  control->execute_statement(u"Set cli = Form1.CreateControl(\"MSWinsockLib.Winsock\", \"cli\")");
  control->execute_statement(u"srv.Listen");
  EXPECT_EQ(to_long(control->eval(u"srv.State")), 2);
  int32_t port = to_long(control->eval(u"srv.LocalPort"));
  ASSERT_GT(port, 0);
  control->execute_statement(u"cli.Connect \"127.0.0.1\", " + to_u16(Variant(port)));
  ASSERT_TRUE(pump([&] { return logged(u"closed "); })) << u16_to_utf8(log());
  EXPECT_EQ(log(), u"request connected sent peer got hello cli got 4:3 closed ");
  EXPECT_EQ(to_long(control->eval(u"cli.State")), 8);
  // Connecting twice is refused while the socket is in use.
  control->execute_statement(u"cli.Close");
  EXPECT_EQ(to_long(control->eval(u"cli.State")), 0);
  control->execute_statement(u"srv.Close");
}

TEST_F(RunTimeControlsTest, RefusedConnectionRaisesErrorAndUnacceptedRequestsAreDropped) {
  code(u"Sub cli_Error(Number, Description, Scode)\nlog = log & \"error \" & Number & \" \"\n"
       u"Description = \"changed\"\nEnd Sub\n"
       u"Sub srv_ConnectionRequest(id)\nlog = log & \"request \"\nEnd Sub\n"
       u"Sub Control_Event(Info)\nlog = log & \"ev:\" & Info.Name & \":\" & Info.EventParameters.Count & \" \"\nEnd Sub\n");
  control->execute_statement(u"Set srv = Form1.CreateControl(\"MSWinsockLib.Winsock\", \"srv\")");
  control->execute_statement(u"srv.Listen");
  int32_t port = to_long(control->eval(u"srv.LocalPort"));
  control->execute_statement(u"srv.Close");
  // Nobody listens there now.
  control->execute_statement(u"Set cli = Form1.CreateControl(\"MSWinsockLib.Winsock\", \"cli\")");
  control->execute_statement(u"cli.Connect \"127.0.0.1\", " + to_u16(Variant(port)));
  ASSERT_TRUE(pump([&] { return logged(u"error "); }));
  EXPECT_EQ(log(), u"error 10061 ");
  EXPECT_EQ(to_long(control->eval(u"cli.State")), 9);

  // A request nobody accepts is closed: the unnamed client sees Connect, then Close.
  clear_log();
  control->execute_statement(u"srv.Listen");
  port = to_long(control->eval(u"srv.LocalPort"));
  control->execute_statement(u"Set peer = Form1.CreateControl(\"MSWinsockLib.Winsock\", \"\")");
  control->execute_statement(u"peer.Connect \"localhost\", " + to_u16(Variant(port)));
  ASSERT_TRUE(pump([&] { return logged(u"ev:Close:0 "); })) << u16_to_utf8(log());
  EXPECT_NE(log().find(u"request "), std::u16string::npos);
  EXPECT_NE(log().find(u"ev:Connect:0 "), std::u16string::npos);
}

TEST_F(RunTimeControlsTest, AddingAndRemovingLeavesNoWindowsOrSockets) {
  auto open_fds = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator());
  };
  auto cycle = [&] {
    for (int16_t i = 1; i <= 5; ++i) {
      add({Variant(u"progressbar"), Variant(i), Variant(u"BarProcent=50")});
      add({Variant(u"skinshape"), Variant(i), Variant(u"Text=x")});
      add({Variant(u"wsk"), Variant(i)});
      element(u"wsk", i)->call(u"Listen");
    }
    for (int16_t i = 1; i <= 5; ++i)
      for (const char16_t* kind : {u"progressbar", u"skinshape", u"wsk"}) form->call(u"Remove", {Variant(kind), Variant(i)});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    settle();
  };
  cycle();  // the first round may make what lives for the process (fonts, the pointer router)
  const auto widgets = QApplication::allWidgets().size();
  const auto fds = open_fds();
  for (int round = 0; round < 3; ++round) cycle();
  EXPECT_EQ(QApplication::allWidgets().size(), widgets);
  EXPECT_EQ(open_fds(), fds);
}

}  // namespace
}  // namespace qz
