// The engine class as a host drives it: created by ProgID, every member called by name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "com/convert.h"
#include "com/progid.h"
#include "engine/engine_core.h"
#include "engine/quazel_object.h"
#include "platform/event_loop.h"
#include "platform/path.h"
#include "runtime/script_file.h"
#include "runtime/script_timers.h"

namespace qz {
namespace {

// A host object as the engine sees it: EndExe and GetExeCommand by name.
class FakeHost : public NativeObject<FakeHost> {
 public:
  static void define(Members<FakeHost>& m) {
    m.method(u"EndExe", [](FakeHost& h, Args) {
      ++h.end_calls;
      return Variant();
    });
    m.method(u"GetExeCommand", [](FakeHost& h, Args) { return Variant(h.command); });
  }
  std::u16string type_name() const override { return u"FakeHost"; }
  int end_calls = 0;
  std::u16string command = u"host command text";
};

// An object a host adds with AddObject.
class Counter : public NativeObject<Counter> {
 public:
  static void define(Members<Counter>& m) {
    m.method(u"Next", [](Counter& c, Args) { return Variant(++c.value); });
  }
  std::u16string type_name() const override { return u"Counter"; }
  int32_t value = 0;
};

class QuazelClass : public ::testing::Test {
 protected:
  void SetUp() override {
    register_quazel_class();
    engine = create_object(u"Tolvex.Quazel");
    host = make_ref<FakeHost>();
    engine->call(u"SetObjExe", {Variant(host)});
  }
  void TearDown() override {
    end_run();
    engine = nullptr;
    for (const std::string& f : files) ::unlink(f.c_str());
  }

  // Writes a script to a temporary file and returns its path.
  std::u16string script(const std::string& text) {
    TempFile t = create_temp_file({}, "qz-engine-test-", ".qz");
    std::string body = "<#Module=Main>\n" + text + "\n<#Module>\n";
    EXPECT_EQ(::write(t.fd, body.data(), body.size()), static_cast<ssize_t>(body.size()));
    ::close(t.fd);
    files.push_back(t.path);
    return script_path(t.path);
  }

  // Lets the end timer fire, as the host's event loop would.
  void end_run() {
    engine->call(u"Reset");
    event_loop().do_events();
  }

  Variant call(std::u16string_view member, std::vector<Variant>& args) {
    return engine->invoke(engine->find_member(member), static_cast<CallKind>(kMethod | kGet), Args(args));
  }

  Ref<Object> engine;
  Ref<FakeHost> host;
  std::vector<std::string> files;
};

TEST_F(QuazelClass, CommandRunsLoadAndFuncRunPassesArgumentsByReference) {
  std::u16string path = script(
      "Dim got\n"
      "Sub Load(cmd) : got = cmd : End Sub\n"
      "Function AddTo(a, b) : a = a + b : AddTo = a * 10 : End Function\n"
      "Function Ten(a, b, c, d, e, f, g, h, i, j) : Ten = a & j : End Function\n"
      "Function Many(arr) : Many = TypeName(arr) & UBound(arr) : End Function\n"
      "Function NoArgs() : NoArgs = \"none\" : End Function");
  engine->call(u"Command", {Variant(path + u" /first second")});
  EXPECT_EQ(to_u16(engine->call(u"Eval", {Variant(u"got")})), u"first second");

  std::vector<Variant> add{Variant(u"AddTo"), Variant(int16_t{1}), Variant(int32_t{2}), Variant(int32_t{5})};
  EXPECT_EQ(to_long(call(u"FuncRun", add)), 70);
  EXPECT_EQ(to_long(add[2]), 7);  // the procedure's assignment reached the caller's list

  std::vector<Variant> ten{Variant(u"Ten"), Variant(int16_t{1})};
  for (int i = 1; i <= 10; ++i) ten.emplace_back(int32_t{i});
  EXPECT_EQ(to_u16(call(u"FuncRun", ten)), u"110");
  std::vector<Variant> eleven = ten;
  eleven[0] = Variant(u"Many");
  eleven.emplace_back(int32_t{11});
  EXPECT_EQ(to_u16(call(u"FuncRun", eleven)), u"Variant()10");  // one array of 11

  EXPECT_EQ(to_u16(engine->call(u"FuncRun", {Variant(u"NoArgs"), Variant(int16_t{1})})), u"none");
  EXPECT_TRUE(engine->call(u"FuncRun", {Variant(u"Missing"), Variant(int16_t{1})}).is_empty());
  EXPECT_TRUE(engine->call(u"FuncRun", {Variant(u"NoArgs"), Variant(int16_t{99})}).is_empty());
}

TEST_F(QuazelClass, EvalAndStateFollowTheLoadedScript) {
  EXPECT_EQ(to_integer(engine->call(u"State")), 0);
  std::u16string path = script(
      "Class Box\n  Public Default Property Get Value() : Value = 42 : End Property\nEnd Class\n"
      "Function MakeBox() : Set MakeBox = New Box : End Function\n"
      "Sub Load(cmd) : End Sub");
  engine->call(u"Command", {Variant(path)});
  EXPECT_EQ(to_integer(engine->call(u"State")), 1);
  EXPECT_EQ(to_long(engine->call(u"Eval", {Variant(u"1+1")})), 2);
  EXPECT_EQ(to_long(engine->call(u"Eval", {Variant(u"MakeBox()")})), 42);  // default member's value
  Variant box = engine->call(u"Eval", {Variant(u"MakeBox()"), Variant(int16_t{0}), Variant(int16_t{1})});
  EXPECT_TRUE(box.is_object());
  EXPECT_EQ(to_long(engine->call(u"Eval", {Variant(u"qz_IDM"), Variant(int16_t{1})})), 1);
  ::testing::internal::CaptureStderr();  // a failing evaluation still goes through the error event
  EXPECT_TRUE(engine->call(u"Eval", {Variant(u"1 +"), Variant(int16_t{0})}).is_empty());  // failure: Empty
  ::testing::internal::GetCapturedStderr();

  end_run();
  EXPECT_EQ(host->end_calls, 1);  // the end timer told the host
  EXPECT_EQ(to_integer(engine->call(u"State")), 0);
}

TEST_F(QuazelClass, RunsInOneProcessCompileThePrologueOnce) {
  ScriptControl& control = EngineCore::instance().script_control();
  struct Run {
    const char* body;
    const char16_t* got;
  } runs[] = {
      {"Dim got\nSub Load(cmd) : got = IIF(True, \"a\", \"b\") & vbModal : End Sub", u"a1"},
      {"Dim got\nSub Load(cmd) : got = QBColor(0) & IIF(False, 1, \"c\") : End Sub", u"0c"},
      {"Dim got\nFunction IIF(a, b, c) : IIF = \"own\" : End Function\nSub Load(cmd) : got = IIF(1, 2, 3) : End Sub", u"own"},
  };
  uint64_t after_first = 0;
  for (const Run& r : runs) {
    engine->call(u"Command", {Variant(script(r.body))});
    EXPECT_EQ(to_u16(engine->call(u"Eval", {Variant(u"got")})), r.got);
    end_run();
    if (after_first == 0) after_first = control.shared_code_compilations();
  }
  EXPECT_GE(after_first, 1u);
  EXPECT_EQ(control.shared_code_compilations(), after_first);   // the later runs reused it
}

TEST_F(QuazelClass, AddObjectAndAddCodeReachTheScript) {
  Ref<Counter> counter = make_ref<Counter>();
  // The host's code goes before the script; like the script's, only its module sections count.
  engine->call(u"AddCode", {Variant(u"<#Module>\r\nConst FromHost = \"host code\"\r\n<#Module>")});
  std::u16string path = script(
      "Function Twice() : Twice = Counter.Next() + Counter.Next() : End Function\n"
      "Function Extra() : Extra = FromHost : End Function\n"
      "Sub Load(cmd) : End Sub");
  engine->call(u"Command", {Variant(path)});
  engine->call(u"AddObject", {Variant(counter), Variant(u"Counter")});
  EXPECT_EQ(to_long(engine->call(u"FuncRun", {Variant(u"Twice"), Variant(int16_t{1})})), 3);
  EXPECT_EQ(to_u16(engine->call(u"FuncRun", {Variant(u"Extra"), Variant(int16_t{1})})), u"host code");
  engine->call(u"AddCode", {Variant(u"")});
}

TEST_F(QuazelClass, ScriptTextRunsAsExeFileWithTheHostsCommand) {
  engine->call(u"Command", {Variant(u"<#Module>\nDim got\nSub Load(c) : got = c : End Sub\n<#Module>")});
  EXPECT_EQ(to_u16(engine->call(u"Eval", {Variant(u"got")})), u"host command text");
  EXPECT_EQ(EngineCore::instance().script_file_name, u"Exe file");
}

TEST_F(QuazelClass, TimersBelongToTheirRunAndSurviveANewSysObject) {
  std::u16string path = script("Sub Load(cmd) : sys.OnTimer 100000, \"Tick\" : End Sub\nSub Tick() : End Sub");
  engine->call(u"Command", {Variant(path)});
  ScriptTimerTable& timers = EngineCore::instance().timers();
  ASSERT_EQ(timers.entry(0).proc_name, u"tick");
  // A sys object made in the middle of a run (to read Path, say) leaves the timers alone.
  Ref<ScriptFile> extra = make_ref<ScriptFile>(EngineCore::instance());
  EXPECT_EQ(timers.entry(0).proc_name, u"tick");
  EXPECT_TRUE(timers.running(0));
  // The end of the run stops them, and a new run starts without them.
  end_run();
  EXPECT_FALSE(timers.running(0));
  engine->call(u"Command", {Variant(script("Sub Load(cmd) : End Sub"))});
  EXPECT_TRUE(timers.entry(0).proc_name.empty());
  EXPECT_FALSE(timers.running(0));
}

TEST_F(QuazelClass, ScriptErrorEndsTheRunWithStatusOne) {
  std::u16string path = script("Sub Load(cmd)\n  x = 1 / 0\nEnd Sub");
  ::testing::internal::CaptureStderr();
  engine->call(u"Command", {Variant(path)});
  event_loop().do_events();  // the end timer, switched on by the error
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Error [11] line - "), std::string::npos) << err;
  EXPECT_NE(err.find("Type -> Division by zero"), std::string::npos) << err;
  EXPECT_NE(err.find("Code -> "), std::string::npos) << err;
  EXPECT_EQ(host->end_calls, 1);
  EXPECT_EQ(to_long(engine->get(u"ExitStatus")), 1);
}

}  // namespace
}  // namespace qz
