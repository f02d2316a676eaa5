// The ScriptControl C++ API: modules, Run with by-reference arguments, re-entrancy, the error
// event and the Error object, Timeout, Reset.
#include <gtest/gtest.h>

#include <sys/time.h>

#include <chrono>
#include <csignal>

#include "com/convert.h"
#include "com/progid.h"
#include "script/engine.h"
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

// Native members without parameters that return a collection, an array or a plain value,
// next to one that takes an index.
class Request final : public NativeObject<Request> {
 public:
  std::u16string type_name() const override { return u"Request"; }
  static void define(Members<Request>& m) {
    m.getter(u"Files", [](Request&, Args) {
      return Variant(create_object(u"Scripting.Dictionary"));
    });
    m.getter(u"Names", [](Request&, Args) { return Variant::from_vector({Variant(u"a"), Variant(u"b")}); });
    m.getter(u"Title", [](Request&, Args) { return Variant(u"t"); });
    m.getter(u"Field", [](Request&, Args a) { return Variant(u"field " + to_u16(a[0])); });
  }
};

TEST_F(ScriptControlTest, ArgumentsToANativeMemberWithoutParametersGoToItsResult) {
  sc->add_object(u"Req", Ref<Object>(new Request()));
  sc->add_code(u"Function Item() : Item = TypeName(Req.Files(\"missing\")) : End Function");
  EXPECT_EQ(text(sc->run(u"Item", {})), u"Empty");   // the Dictionary's Item, not the Dictionary
  EXPECT_EQ(text(sc->eval(u"Req.Files.Count")), u"0");
  EXPECT_EQ(text(sc->eval(u"Req.Names(1)")), u"b");
  EXPECT_EQ(text(sc->eval(u"Req.Title")), u"t");
  EXPECT_EQ(text(sc->eval(u"Req.Field(7)")), u"field 7");   // a member that reads its arguments
  EXPECT_THROW(sc->eval(u"Req.Names(5)"), ScriptError);   // out of range: error 9
  EXPECT_EQ(events.back().number, 9);
}

// Reports which of its by-reference arguments are marked as module variables.
class LastingProbe final : public NativeObject<LastingProbe> {
 public:
  std::u16string type_name() const override { return u"LastingProbe"; }
  static void define(Members<LastingProbe>& m) {
    m.method(u"Marks", [](LastingProbe&, Args a) {
      std::u16string out;
      for (size_t i = 0; i < a.size(); ++i) out += a.data()[i].ref_lasting() ? u'L' : u'-';
      return Variant(out);
    });
  }
};

TEST_F(ScriptControlTest, ByReferenceCellsSayWhenTheyNameAModuleVariable) {
  sc->add_object(u"Probe", Ref<Object>(new LastingProbe()));
  sc->add_code(
      u"Dim g, arr(2), marks\n"
      u"Class C : Public field : Function Try() : Try = Probe.Marks(field) : End Function : End Class\n"
      u"Sub Forward(p, ByVal v) : marks = marks & Probe.Marks(p, v) & \" \" : End Sub\n"
      u"Sub Test()\n"
      u"  Dim local\n"
      u"  marks = Probe.Marks(g, local, arr(1), g + 1, implicitLocal) & \" \"\n"
      u"  Forward g, g\n"
      u"  Forward local, g\n"
      u"  Dim c : Set c = New C : marks = marks & c.Try()\n"
      u"End Sub\n"
      u"Test\n"
      u"undeclared = 1 : marks = marks & \" \" & Probe.Marks(undeclared)\n");
  // The module variable (directly or through a parameter) is marked; a local, an array
  // element, a value, a procedure's undeclared local, a ByVal copy and a field are not.
  EXPECT_EQ(text(sc->eval(u"marks")), u"L---- L- -- - L");
}

// Tells when the last reference to it goes.
class GoneProbe final : public NativeObject<GoneProbe> {
 public:
  explicit GoneProbe(bool* gone) : gone_(gone) {}
  ~GoneProbe() override { *gone_ = true; }
  std::u16string type_name() const override { return u"GoneProbe"; }
  static void define(Members<GoneProbe>&) {}
 private:
  bool* gone_;
};

TEST_F(ScriptControlTest, AControlAddedToItselfGoesWhenDropped) {
  for (bool with_members : {false, true}) {
    bool gone = false;
    Ref<ScriptControl> inner(new ScriptControl());
    inner->add_object(u"Me2", Ref<Object>(inner.get()), with_members);
    inner->add_object(u"Again", Ref<Object>(inner.get()));
    inner->add_object(u"Probe", Ref<Object>(new GoneProbe(&gone)));
    inner->add_code(u"Dim n : n = Me2.Eval(\"1 + 1\") : Set p = Probe");
    if (with_members) inner->add_code(u"n = n + Eval(\"2\")");   // a member of the control as a global name
    EXPECT_EQ(to_long(inner->eval(u"n")), with_members ? 4 : 2);
    EXPECT_FALSE(gone);
    inner = Ref<ScriptControl>();
    EXPECT_TRUE(gone) << "with_members=" << with_members;
  }
  // Reset breaks the cycle too, and the control stays usable.
  bool gone = false;
  Ref<ScriptControl> inner(new ScriptControl());
  inner->add_object(u"Me2", Ref<Object>(inner.get()));
  inner->add_object(u"Probe", Ref<Object>(new GoneProbe(&gone)));
  inner->reset();
  EXPECT_TRUE(gone);
  EXPECT_EQ(to_long(inner->eval(u"3")), 3);
}

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

// Each step here takes a few milliseconds (a 16 MB string made and dropped): the timeout must
// still be seen within a few steps of its deadline, not after the thousands of steps between
// looks at the clock that quick code has (seconds here). Timed rather than counted: how many
// steps fit in the limit depends on the machine.
TEST_F(ScriptControlTest, TimeoutStopsCodeWhoseStepsAreSlow) {
  sc->set_timeout(100);
  sc->add_code(u"Dim n\nSub Slow()\n  Do : s = Space(8000000) : n = n + 1 : Loop\nEnd Sub");
  auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(sc->run(u"Slow", {}), ScriptError);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].description, u"Script timed out");
  EXPECT_GT(to_long(sc->eval(u"n")), 0);
  EXPECT_LT(ms, 1500) << to_long(sc->eval(u"n")) << " steps";
}

volatile sig_atomic_t g_stop_request = 0;
extern "C" void request_stop(int) { g_stop_request = 1; }

TEST_F(ScriptControlTest, InterruptRequestFromASignalStopsBusyCode) {
  sc->set_timeout(-1);
  sc->set_interrupt_request(&g_stop_request);
  sc->add_code(u"Dim n, after\nSub Spin()\n  On Error Resume Next\n  Do : n = n + 1 : Loop\n  after = True\nEnd Sub");
  struct sigaction sa {}, old {};
  sa.sa_handler = request_stop;
  sigemptyset(&sa.sa_mask);
  ASSERT_EQ(sigaction(SIGALRM, &sa, &old), 0);
  itimerval in50ms{};
  in50ms.it_value.tv_usec = 50000;
  setitimer(ITIMER_REAL, &in50ms, nullptr);
  EXPECT_THROW(sc->run(u"Spin", {}), ScriptInterrupted);
  sigaction(SIGALRM, &old, nullptr);
  EXPECT_TRUE(events.empty());   // not an error: no event
  EXPECT_GT(to_long(sc->eval(u"n")), 0);
  EXPECT_EQ(text(sc->eval(u"TypeName(after)")), u"Empty");
  // While the request stands, code stops at its first check; cleared, the control runs again.
  EXPECT_THROW(sc->execute_statement(u"Do : m = m + 1 : Loop"), ScriptInterrupted);
  g_stop_request = 0;
  EXPECT_EQ(text(sc->eval(u"1 + 1")), u"2");
  sc->set_interrupt_request(nullptr);
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

// Compile errors: number, text and the 1-based position of the offending token; the Error
// object's Text is the whole source line. Nothing of the code runs.
TEST_F(ScriptControlTest, CompileErrorsReportNumberTextAndPosition) {
  struct Case { const char16_t* code; int32_t number; int line; int column; const char16_t* text; };
  const Case cases[] = {
      {u"Foo(1, 2)", 1044, 1, 1, u"Cannot use parentheses when calling a Sub"},
      {u"x = 1\r\n  obj.Go(1, 2)", 1044, 2, 3, u"Cannot use parentheses when calling a Sub"},
      {u"x = (1 + 2", 1006, 1, 11, u"Expected ')'"},
      {u"If x Then\r\ny = 1\r\n", 1014, 3, 1, u"Expected 'End'"},
      {u"x = 1 +\ry = 2", 1023, 1, 8, u"Expected expression"},
      {u"Dim a, a", 1041, 1, 9, u"Name redefined"},
      {u"x = \"abc", 1033, 1, 5, u"Unterminated string constant"},
      {u"Sub S : Exit Function : End Sub", 1039, 1, 14, u"Invalid 'exit' statement"},
      {u"Class C : Private Default Function F : End Function : End Class", 1057, 1, 19,
       u"'Default' specification must also specify 'Public'"},
      {u"\nLoop", 1038, 2, 1, u"'loop' without 'do'"},
      {u"Next", 1055, 1, 1, u"Unexpected 'Next'"},
      {u"Const c = x", 1045, 1, 11, u"Expected literal constant"},
      {u"Const c = 1 + 2", 1045, 1, 11, u"Expected literal constant"},
      {u"Const a = 1\nConst b = a", 1045, 2, 11, u"Expected literal constant"},
      {u"Const s = \"a\" & \"b\"", 1045, 1, 11, u"Expected literal constant"},
      {u"Property Get P : End Property", 1048, 1, 1, u"Must be defined inside a Class"},
      {u"Function F()\r\nEnd Sub", 1015, 2, 5, u"Expected 'Function'"},
      {u"Dim x(1.5)", 1026, 1, 7, u"Expected integer constant"},
      {u"y = 1 2", 1025, 1, 7, u"Expected end of statement"},
      // Case takes a list of values and nothing more before its line ends.
      {u"Select Case 7\nCase 1 To 5\nEnd Select", 1025, 2, 8, u"Expected end of statement"},
      {u"Select Case 7\nCase 1 y = 2\nEnd Select", 1025, 2, 8, u"Expected end of statement"},
      {u"Select Case 7\nCase Else y = 2\nEnd Select", 1025, 2, 11, u"Expected end of statement"},
  };
  sc->add_code(u"Dim ran : ran = 0");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code, c.code + std::char_traits<char16_t>::length(c.code)));
    events.clear();
    try {
      sc->add_code(std::u16string(u"ran = ran + 1\n") + c.code);
      ADD_FAILURE() << "no error";
      continue;
    } catch (const ScriptError& e) {
      EXPECT_TRUE(e.compile);
    }
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].number, c.number);
    EXPECT_EQ(events[0].line, c.line + 1);
    EXPECT_EQ(events[0].column, c.column);
    EXPECT_EQ(events[0].description, c.text);
    EXPECT_EQ(events[0].source, u"VBScript compilation error");
  }
  EXPECT_EQ(text(sc->eval(u"ran")), u"0");
}

// A run-time error inside a class method of another module reaches the caller's Err with
// VBScript's source and text; uncaught, the Error object points into the method's code.
TEST_F(ScriptControlTest, ErrorsFromClassMethodsInAnotherModule) {
  ScriptModule* lib = sc->add_module(u"Lib");
  lib->add_code(
      u"Class Worker\n"
      u"  Function Divide(a, b)\n"
      u"    Divide = a / b\n"
      u"  End Function\n"
      u"  Sub Custom() : Err.Raise 1234, \"Worker.Custom\", \"custom text\" : End Sub\n"
      u"  Sub Missing() : Me.NoSuchMember : End Sub\n"
      u"End Class\n"
      u"Function NewWorker() : Set NewWorker = New Worker : End Function\n");
  sc->add_code(u"Dim r\n");
  Variant w = lib->run(u"NewWorker", {});
  sc->add_object(u"Made", w.as_object());
  sc->add_code(
      u"On Error Resume Next\n"
      u"r = Made.Divide(1, 0)\n"
      u"r = Err.Number & \"|\" & Err.Source & \"|\" & Err.Description\n"
      u"Err.Clear\n"
      u"Made.Custom\n"
      u"r = r & \"/\" & Err.Number & \"|\" & Err.Source & \"|\" & Err.Description\n"
      u"Err.Clear\n"
      u"Made.Missing\n"
      u"r = r & \"/\" & Err.Number & \"|\" & Err.Description\n");
  EXPECT_EQ(text(sc->eval(u"r")),
            u"11|VBScript runtime error|Division by zero/1234|Worker.Custom|custom text/"
            u"438|Object doesn't support this property or method");
  EXPECT_TRUE(events.empty());
  EXPECT_THROW(sc->add_code(u"r = Made.Divide(2, 0)"), ScriptError);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].number, 11);
  EXPECT_EQ(events[0].source, u"VBScript runtime error");
  EXPECT_EQ(events[0].line, 3);
  EXPECT_EQ(events[0].text, u"    Divide = a / b");
}

// Run-time errors inside procedures report the statement's line, or the line of the ElseIf or
// Loop test that failed, and its text; the second call (with every name bound) the same as the
// first. The procedures have no On Error, so nothing in them takes the error.
TEST_F(ScriptControlTest, RuntimeErrorsInProceduresReportTheirLine) {
  struct Case { const char16_t* code; int line; const char16_t* text; };
  const Case cases[] = {
      {u"Function F()\n  Dim x : x = \"a\"\n  If x * 2 > 1 Then\n    F = 1\n  End If\nEnd Function", 3,
       u"  If x * 2 > 1 Then"},
      {u"Function F()\n  Dim x : x = \"a\"\n  If False Then\n    F = 1\n  ElseIf x * 2 Then\n    F = 2\n"
       u"  End If\nEnd Function",
       5, u"  ElseIf x * 2 Then"},
      {u"Sub F()\n  Dim i\n  Do\n    i = i + 1\n  Loop Until i / 0\nEnd Sub", 5, u"  Loop Until i / 0"},
      {u"Sub F()\n  Dim i\n  Do While i < 3\n    i = i + Array(1)(i + 5)\n  Loop\nEnd Sub", 4,
       u"    i = i + Array(1)(i + 5)"},
      {u"Function G(a) : G = a : End Function\nFunction F()\n  Dim s : s = \"q\"\n  F = G(G(s - 1))\nEnd Function",
       4, u"  F = G(G(s - 1))"},
      {u"Function G(a, b) : G = a : End Function\nFunction F()\n  F = 1\n  F = G(F)\nEnd Function", 4,
       u"  F = G(F)"},
      {u"Sub F()\n  Dim a(2)\n  For i = 0 To 1\n    a(i + 5) = 1\n  Next\nEnd Sub", 4, u"    a(i + 5) = 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code, c.code + std::char_traits<char16_t>::length(c.code)));
    sc->reset();
    sc->add_code(c.code);
    for (int round = 0; round < 2; ++round) {
      events.clear();
      EXPECT_THROW(sc->run(u"F", {}), ScriptError);
      ASSERT_EQ(events.size(), 1u);
      EXPECT_EQ(events[0].line, c.line);
      EXPECT_EQ(events[0].text, c.text);
    }
  }
}

// A loop inside a procedure without On Error still meets the time limit.
TEST_F(ScriptControlTest, TimeoutStopsALoopInAProcedure) {
  sc->set_timeout(100);
  sc->add_code(u"Sub Spin()\n  Dim x\n  Do While True : x = x + 1 : Loop\nEnd Sub");
  EXPECT_THROW(sc->run(u"Spin", {}), ScriptError);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].line, 3);
}

// A string that would pass the longest text ends the run with Out of memory, whether it
// grows by appending in place, by a new concatenation or in one builtin call (Out of string
// space), on the syntax tree and compiled alike, and the error can be caught.
TEST_F(ScriptControlTest, StringsPastTheLongestTextRaiseOutOfMemory) {
  struct Case { const char16_t* body; int32_t number; };
  const Case cases[] = {
      {u"  s = \"ab\"\n  Do : s = s & s : Loop", 7},            // doubles through an alias of itself
      {u"  s = \"ab\"\n  Do : s = s & \"cd\" : Loop", 7},       // appends in place
      {u"  s = \"ab\"\n  Do : s = \"cd\" & s : Loop", 7},       // a new string each round
      {u"  s = Space(5000)", 14},
      {u"  s = String(4000, \"x\")", 14},
  };
  Str::set_max_bytes(4096);
  for (bool compiled : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << "compiled " << compiled << ": " << Str(c.body).utf8());
      sc->reset();
      sc->impl().compile_code = compiled;
      sc->add_code(std::u16string(u"Function F()\n  Dim s\n") + c.body + u"\nEnd Function\n" +
                   u"Function G()\n  On Error Resume Next\n  F\n  G = Err.Number\nEnd Function");
      events.clear();
      EXPECT_THROW(sc->run(u"F", {}), ScriptError);
      ASSERT_EQ(events.size(), 1u);
      EXPECT_EQ(events[0].number, c.number);
      EXPECT_EQ(to_long(sc->run(u"G", {})), c.number);
    }
  }
  Str::set_max_bytes(SIZE_MAX);
}

// The time runs out inside Class_Terminate, whose errors go nowhere: the next error the code
// meets ends the run as timed out, even under On Error Resume Next, instead of leaving as
// itself or being taken.
TEST_F(ScriptControlTest, TimeoutSwallowedInClassTerminateEndsTheRunAtTheNextError) {
  for (bool compiled : {false, true}) {
    SCOPED_TRACE(compiled ? "compiled" : "tree");
    sc->reset();
    sc->impl().compile_code = compiled;
    sc->set_timeout(100);
    sc->add_code(u"Dim done\n"
                 u"Class Slow\n  Private Sub Class_Terminate()\n    Do : Loop\n  End Sub\nEnd Class\n"
                 u"Sub F()\n  On Error Resume Next\n  Dim o, x\n  Set o = New Slow\n  Set o = Nothing\n"
                 u"  x = 1 / 0\n  done = True\nEnd Sub");
    events.clear();
    try {
      sc->run(u"F", {});
      ADD_FAILURE() << "F ran to its end";
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.number, vbs::kErrTimeout);
    }
    EXPECT_TRUE(sc->eval(u"IsEmpty(done)").as_bool());
  }
}

TEST_F(ScriptControlTest, AnInstanceFromAnotherControlRunsItsMethodsThere) {
  // The method reads a name only its own control has; the call site calls it more than once.
  Ref<ScriptControl> other(new ScriptControl());
  Ref<Object> config(create_object(u"Scripting.Dictionary"));
  std::vector<Variant> key{Variant(u"who"), Variant(u"made there")};
  config->invoke(config->find_member(u"Item"), kLet, Args(key));
  other->add_object(u"Config", config);
  other->add_code(u"Class Widget : Function Who() : Who = Config(\"who\") : End Function : End Class");
  Variant w = other->eval(u"New Widget");
  sc->add_object(u"Made", w.as_object());
  sc->add_code(u"Class Widget : Function Who() : Who = \"made here\" : End Function : End Class\n"
               u"Dim r, o\n"
               u"For Each o In Array(Made, New Widget, Made) : r = r & o.Who() & \"/\" : Next\n");
  EXPECT_EQ(text(sc->eval(u"r")), u"made there/made here/made there/");
}


// Code many texts hold (the host's prologue) is compiled once and reused across Reset; a text
// holding it behaves exactly as the same text compiled whole.
constexpr std::u16string_view kShared =
    u"Const sharedConst = 5\r\n"
    u"Function Twice(x)\r\n"
    u"  Twice = x * 2\r\n"
    u"End Function\r\n"
    u"Function Fails()\r\n"
    u"  Fails = 1 / 0\r\n"
    u"End Function\r\n"
    u"Function Loose() : undeclared = 3 : Loose = undeclared : End Function\r\n"
    u"\r\n";

struct SharedRun {
  std::u16string result;    // Eval("Result") after AddCode, or "" when AddCode failed
  ScriptErrorInfo error;    // the first error event
};

SharedRun run_holding(bool share, const std::u16string& before, const std::u16string& after,
                      const char16_t* call = nullptr, std::u16string_view shared_text = kShared) {
  Ref<ScriptControl> c(new ScriptControl());
  SharedRun out;
  c->on_error = [&](const ScriptErrorInfo& e) {
    if (out.error.number == 0) out.error = e;
  };
  if (share) c->share_code({std::u16string(shared_text)});
  try {
    c->add_code(before + std::u16string(shared_text) + after);
    if (call) c->run(call, {});
    out.result = text(c->eval(u"Result"));
  } catch (const ScriptError&) {
  }
  return out;
}

TEST_F(ScriptControlTest, SharedCodeBehavesAsTheWholeText) {
  struct Case {
    const char* what;
    std::u16string before, after;
    const char16_t* call;
  } cases[] = {
      {"uses what the shared code declares", u"Const head = 1\r\n\r\n", u"Dim Result : Result = Twice(sharedConst) + head\r\n", nullptr},
      {"defines a shared procedure again", u"", u"Function Twice(x) : Twice = x * 3 : End Function\r\nDim Result : Result = Twice(2)\r\n", nullptr},
      {"declares a shared constant again", u"Dim Result\r\n", u"Const sharedConst = 6\r\n", nullptr},
      {"declares a variable named as a shared procedure", u"", u"Dim Twice\r\n", nullptr},
      {"defines a shared procedure before it", u"Function Twice(x) : Twice = 0 : End Function\r\n", u"Dim Result : Result = Twice(4)\r\n", nullptr},
      {"has a syntax error after it", u"Dim Result\r\n", u"\r\nResult = (1 +\r\n", nullptr},
      {"fails inside a shared procedure", u"' one\r\n' two\r\n", u"Dim Result\r\n", u"Fails"},
      {"holds it after a continued line", u"Dim Result : Result = 1 + _\r\n", u"", nullptr},
      {"turns Option Explicit on after it", u"", u"Option Explicit\r\nDim Result : Result = 1\r\n", u"Loose"},
      {"turns Option Explicit on before it", u"Option Explicit\r\n", u"Dim Result : Result = 1\r\n", u"Loose"},
      {"leaves Option Explicit off", u"", u"Dim Result : Result = Loose()\r\n", nullptr},
      {"holds it inside a procedure", u"Sub Outer()\r\n", u"End Sub\r\nDim Result\r\n", nullptr},
      {"holds it inside a block", u"If True Then\r\n", u"End If\r\nDim Result\r\n", nullptr},
  };
  for (const Case& k : cases) {
    SharedRun whole = run_holding(false, k.before, k.after, k.call);
    SharedRun shared = run_holding(true, k.before, k.after, k.call);
    EXPECT_EQ(shared.result, whole.result) << k.what;
    EXPECT_EQ(shared.error.number, whole.error.number) << k.what;
    EXPECT_EQ(shared.error.line, whole.error.line) << k.what;
    EXPECT_EQ(shared.error.text, whole.error.text) << k.what;
  }
  // The cases themselves: the second gives 6, a failing procedure reports its own line.
  EXPECT_EQ(run_holding(true, u"", cases[1].after).result, u"6");
  EXPECT_EQ(run_holding(true, cases[4].before, cases[4].after).result, u"8");
  EXPECT_EQ(run_holding(true, u"", cases[8].after, u"Loose").error.number, 500);
  EXPECT_EQ(run_holding(true, u"", cases[10].after).result, u"3");
  SharedRun redefined = run_holding(true, cases[2].before, cases[2].after);
  EXPECT_EQ(redefined.error.number, 1041);
  EXPECT_EQ(redefined.error.line, 11);
  EXPECT_EQ(run_holding(true, u"", cases[3].after).error.line, 10);
  SharedRun failing = run_holding(true, cases[6].before, cases[6].after, u"Fails");
  EXPECT_EQ(failing.error.number, 11);
  EXPECT_EQ(failing.error.line, 8);
  EXPECT_EQ(failing.error.text, u"  Fails = 1 / 0");

  // A CR LF pair is one line break: text that begins or ends between its two characters is no
  // whole lines of the code holding it, and the lines after it keep their numbers.
  struct Split {
    const char* what;
    std::u16string before;
    std::u16string_view text;
    std::u16string after;
  } splits[] = {
      {"begins after the CR", u"Dim Result\r", u"\nConst sharedK = 2\r\n", u"Result = 1 / 0\r\n"},
      {"ends before the LF", u"Dim Result\r\n", u"Const sharedK = 2\r", u"\nResult = 1 / 0\r\n"},
  };
  for (const Split& k : splits) {
    SharedRun whole = run_holding(false, k.before, k.after, nullptr, k.text);
    SharedRun shared = run_holding(true, k.before, k.after, nullptr, k.text);
    EXPECT_EQ(whole.error.number, 11) << k.what;
    EXPECT_EQ(whole.error.line, 3) << k.what;
    EXPECT_EQ(shared.error.number, whole.error.number) << k.what;
    EXPECT_EQ(shared.error.line, whole.error.line) << k.what;
  }

  // Shared code that states Option Explicit itself covers the code around it too: the variable
  // no one declared ahead of it is an error either way.
  constexpr std::u16string_view stating = u"Option Explicit\r\nConst sharedK = 2\r\n";
  for (bool share : {false, true}) {
    SharedRun run = run_holding(share, u"Loose = 1\r\n", u"Dim Result : Result = sharedK\r\n", nullptr, stating);
    EXPECT_EQ(run.error.number, 500) << share;
    EXPECT_EQ(run.error.line, 1) << share;
  }
}

TEST_F(ScriptControlTest, SharedCodeIsCompiledOnceAcrossReset) {
  sc->share_code({std::u16string(kShared)});
  const std::u16string code = u"Const head = 1\r\n" + std::u16string(kShared) + u"Dim Result : Result = Twice(sharedConst)\r\n";
  for (int run = 0; run < 3; ++run) {
    sc->reset();
    sc->add_code(code);
    EXPECT_EQ(text(sc->eval(u"Result")), u"10");
    EXPECT_EQ(text(sc->eval(u"Twice(head)")), u"2");
  }
  EXPECT_EQ(sc->shared_code_compilations(), 1u);
  // Held by a GetRef object from the last run, it is compiled anew for the next one, and the
  // object still calls its own.
  Variant held = sc->eval(u"GetRef(\"Twice\")");
  sc->reset();
  sc->add_code(code);
  EXPECT_EQ(sc->shared_code_compilations(), 2u);
  EXPECT_EQ(text(sc->eval(u"Twice(21)")), u"42");
  // A second module holding the same code while the first still does gets its own.
  ScriptModule* m = sc->add_module(u"Other");
  m->add_code(code);
  EXPECT_EQ(text(m->eval(u"Result")), u"10");
  EXPECT_EQ(sc->shared_code_compilations(), 3u);
}

}  // namespace
}  // namespace qz
