// The ScriptControl C++ API: modules, Run with by-reference arguments, re-entrancy, the error
// event and the Error object, Timeout, Reset.
#include <gtest/gtest.h>

#include <chrono>

#include "com/convert.h"
#include "com/progid.h"
#include "script/script_control.h"

namespace qz {
namespace {

std::u16string text(const Variant& v) { return to_u16(v); }

class ScriptControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sc = Ref<ScriptControl>(new ScriptControl());
    sc->on_error = [this](const ScriptErrorInfo& e) { events.push_back(e); };
  }
  Ref<ScriptControl> sc;
  std::vector<ScriptErrorInfo> events;
};

TEST_F(ScriptControlTest, ModulesKeepTheirOwnNamesAndSeeTheGlobalModule) {
  sc->add_code(u"Dim shared : shared = \"global\"\nFunction Who() : Who = \"global who\" : End Function");
  ScriptModule* a = sc->add_module(u"A");
  ScriptModule* b = sc->add_module(u"B");
  a->add_code(u"Function Who() : Who = \"a:\" & shared : End Function");
  b->add_code(u"Function Who() : Who = \"b:\" & shared : End Function");
  EXPECT_EQ(text(a->run(u"Who", {})), u"a:global");
  EXPECT_EQ(text(b->run(u"who", {})), u"b:global");
  EXPECT_EQ(text(sc->run(u"Who", {})), u"global who");
  EXPECT_EQ(sc->module_count(), 3u);
  EXPECT_EQ(sc->module(u"b"), b);
  EXPECT_EQ(sc->module(1)->name(), u"Global");
  EXPECT_EQ(text(a->eval(u"Who() & \"!\"")), u"a:global!");
}

TEST_F(ScriptControlTest, RunWritesByReferenceArgumentsBack) {
  sc->add_code(u"Sub Change(ByRef a, ByVal b) : a = a & \"+\" : b = \"lost\" : End Sub");
  Variant a(u"x"), b(u"y");
  std::vector<Variant> args{Variant::by_ref(&a), Variant::by_ref(&b)};
  sc->run(u"Change", Args(args));
  EXPECT_EQ(text(a), u"x+");
  EXPECT_EQ(text(b), u"y");
}

TEST_F(ScriptControlTest, MissingProcedureRaises35WithoutTheEvent) {
  try {
    sc->run(u"Nope", {});
    FAIL() << "no error";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, 35);
  }
  EXPECT_TRUE(events.empty());
  EXPECT_FALSE(sc->module(1)->has_procedure(u"Nope"));
}

TEST_F(ScriptControlTest, RuntimeErrorFillsErrorObjectAndFiresEventOnce) {
  // Line 3 counts a lone CR and a lone LF as line ends.
  std::u16string code = u"Dim a\ra = 1\nx = a / 0\r\n";
  EXPECT_THROW(sc->add_code(code), ScriptError);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].number, 11);
  EXPECT_EQ(events[0].line, 3);
  EXPECT_EQ(events[0].text, u"x = a / 0");
  EXPECT_EQ(events[0].description, u"Division by zero");
  EXPECT_EQ(sc->error().source, u"VBScript runtime error");
  EXPECT_EQ(sc->error().number, 11);
}

TEST_F(ScriptControlTest, CompileErrorHasLineColumnAndText) {
  EXPECT_THROW(sc->add_code(u"x = 1\r\ny = (2 +\r\n"), ScriptError);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].source, u"VBScript compilation error");
  EXPECT_EQ(events[0].number, 1023);
  EXPECT_EQ(events[0].line, 2);
  EXPECT_EQ(events[0].text, u"y = (2 +");
  EXPECT_GT(events[0].column, 0);
}

TEST_F(ScriptControlTest, ErrorInCalledProcedureReportsItsOwnLine) {
  sc->add_code(u"Sub Outer()\n  Inner\nEnd Sub\nSub Inner()\n  Err.Raise 1234, \"src\", \"boom\"\nEnd Sub");
  EXPECT_THROW(sc->run(u"Outer", {}), ScriptError);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].number, 1234);
  EXPECT_EQ(events[0].line, 5);
  EXPECT_EQ(events[0].source, u"src");
  EXPECT_EQ(events[0].description, u"boom");
}

// A host object that calls back into the control while script code is running.
class Reenter final : public NativeObject<Reenter> {
 public:
  explicit Reenter(ScriptControl* c) : control(c) {}
  std::u16string type_name() const override { return u"Reenter"; }
  static void define(Members<Reenter>& m) {
    m.method(u"Pump", [](Reenter& r, Args a) {
      Variant counter(static_cast<int32_t>(0));
      std::vector<Variant> args{Variant::by_ref(&counter)};
      r.control->run(u"OnTimer", Args(args));
      r.control->run(u"OnTimer", Args(args));
      return counter;
    });
  }
  ScriptControl* control;
};

TEST_F(ScriptControlTest, RunIsReentrantWhileCodeIsRunning) {
  sc->add_object(u"Host", Ref<Object>(new Reenter(sc.get())));
  sc->add_code(
      u"Dim ticks\n"
      u"Sub OnTimer(n) : n = n + 1 : ticks = ticks + 1 : End Sub\n"
      u"Function Load()\n  Dim local : local = \"kept\"\n  Load = Host.Pump() & \":\" & ticks & \":\" & local\nEnd Function\n");
  EXPECT_EQ(text(sc->run(u"Load", {})), u"2:2:kept");
}

TEST_F(ScriptControlTest, AddObjectWithMembersMakesThemGlobalNames) {
  sc->add_object(u"Host", Ref<Object>(new Reenter(sc.get())), true);
  sc->add_code(u"Dim ticks\nSub OnTimer(n) : n = n + 10 : End Sub\nDim r : r = Pump()\n");
  EXPECT_EQ(text(sc->eval(u"r")), u"20");
  EXPECT_EQ(text(sc->eval(u"TypeName(Host)")), u"Reenter");
}

TEST_F(ScriptControlTest, TimeoutStopsRunawayCode) {
  sc->set_timeout(100);
  sc->add_code(u"Sub Spin()\n  On Error Resume Next\n  Do : x = x + 1 : Loop\nEnd Sub");
  auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(sc->run(u"Spin", {}), ScriptError);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(ms, 3000);
  ASSERT_EQ(events.size(), 1u);
  // The control still works afterwards.
  EXPECT_EQ(text(sc->eval(u"1 + 1")), u"2");
}

TEST_F(ScriptControlTest, ResetDropsCodeAndBreaksCycles) {
  sc->add_code(
      u"Dim trace\n"
      u"Class Node : Public Other : Private Sub Class_Terminate() : trace = trace & \"t\" : End Sub : End Class\n"
      u"Dim a, b : Set a = New Node : Set b = New Node : Set a.Other = b : Set b.Other = a\n"
      u"Set a = Nothing : Set b = Nothing\n");
  EXPECT_EQ(text(sc->eval(u"trace")), u"");  // the cycle keeps both alive
  sc->reset();
  EXPECT_EQ(sc->module_count(), 1u);
  EXPECT_FALSE(sc->module(1)->has_procedure(u"Anything"));
  sc->add_code(u"Function Fresh() : Fresh = IsEmpty(trace) : End Function");
  EXPECT_TRUE(sc->run(u"Fresh", {}).as_bool());
}

TEST_F(ScriptControlTest, ProceduresAndCodeObject) {
  sc->add_code(u"Dim counter : counter = 5\nSub S1(a, b) : End Sub\nFunction F1() : F1 = counter * 2 : End Function\n");
  auto procs = sc->module(1)->procedures();
  ASSERT_EQ(procs.size(), 2u);
  EXPECT_EQ(procs[0].name, u"S1");
  EXPECT_EQ(procs[0].num_args, 2);
  EXPECT_FALSE(procs[0].has_return_value);
  EXPECT_TRUE(procs[1].has_return_value);
  Ref<Object> code = sc->module(1)->code_object();
  EXPECT_EQ(text(code->get(u"counter")), u"5");
  code->let(u"counter", Variant(static_cast<int32_t>(7)));
  EXPECT_EQ(text(code->call(u"F1")), u"14");
}

TEST_F(ScriptControlTest, ScriptableControlFromCreateObject) {
  sc->add_code(
      u"Dim inner : Set inner = CreateObject(\"MSScriptControl.ScriptControl\")\n"
      u"inner.AddCode \"Function Add(a, b) : Add = a + b : End Function\"\n"
      u"Dim m : Set m = inner.Modules.Add(\"Extra\")\n"
      u"m.AddCode \"Function Add(a, b) : Add = a & b : End Function\"\n"
      u"Dim r : r = inner.Run(\"Add\", 2, 3) & \"/\" & m.Run(\"Add\", 2, 3) & \"/\" & inner.Modules.Count\n"
      u"On Error Resume Next\n"
      u"inner.AddCode \"x = 1 / 0\"\n"
      u"r = r & \"/\" & inner.Error.Number & \"/\" & inner.Error.Line\n");
  EXPECT_EQ(text(sc->eval(u"r")), u"5/23/2/11/1");
}

TEST_F(ScriptControlTest, ExecuteStatementAndEvalShareTheGlobalScope) {
  sc->execute_statement(u"Dim z : z = 40");
  sc->execute_statement(u"z = z + 2");
  EXPECT_EQ(text(sc->eval(u"z")), u"42");
  EXPECT_THROW(sc->eval(u"1 +"), ScriptError);
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(ScriptControlTest, ModulesSeeOnlyTheGlobalModulesPublicNames) {
  sc->add_code(
      u"Private hidden : hidden = \"secret\"\n"
      u"Public shown : shown = \"open\"\n"
      u"Private Const kHidden = 1\n"
      u"Private Sub HiddenSub() : End Sub\n"
      u"Private Function HiddenFn() : HiddenFn = 1 : End Function\n");
  ScriptModule* a = sc->add_module(u"A");
  a->add_code(u"Function Probe() : Probe = TypeName(hidden) & \"/\" & shown & \"/\" & TypeName(kHidden) : End Function");
  EXPECT_EQ(text(a->run(u"Probe", {})), u"Empty/open/Empty");
  EXPECT_EQ(text(a->eval(u"IsEmpty(hidden)")), u"True");
  EXPECT_FALSE(a->has_procedure(u"HiddenSub"));
  EXPECT_THROW(a->run(u"HiddenFn", {}), ScriptError);
  EXPECT_THROW(a->execute_statement(u"HiddenSub"), ScriptError);
  // The global module itself still sees them.
  EXPECT_EQ(text(sc->eval(u"hidden & HiddenFn()")), u"secret1");
  // Assigning the name in the module makes the module's own variable.
  a->execute_statement(u"hidden = \"mine\"");
  EXPECT_EQ(text(sc->eval(u"hidden")), u"secret");
  EXPECT_EQ(text(a->eval(u"hidden")), u"mine");
}

}  // namespace
}  // namespace qz
