// The translator's contract with the engine: engine-wide state across translations, load
// steps and numbering, messages, limits on hostile input, decoding and dumping.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "com/str.h"
#include "engine/pack/packed_script.h"
#include "engine/translator/translator.h"
#include "tests/translator/memory_host.h"
#include "tests/translator/render.h"

namespace qz::test {
namespace {

std::string bytes(std::u16string_view text) { return u16_to_utf8(text); }

bool has(const std::u16string& text, std::u16string_view part) { return text.find(part) != std::u16string::npos; }

class Translator : public ::testing::Test {
 protected:
  Translator() {
    settings.language_id = 1033;
    settings.script_folder = u"/s/";
    settings.engine_folder = u"/e/";
    state.develop_address_default = u"default@example.org";
    state.develop_address = state.develop_address_default;
  }
  TranslationResult run(std::u16string_view script, std::u16string_view name = u"/s/main.qz") {
    return translate_script(bytes(script), name, settings, state, &host);
  }
  // The code of the Module step numbered `n`.
  static std::u16string module_code(const TranslationResult& r, int n) {
    for (const LoadStep& s : r.steps)
      if (s.kind == LoadKind::Module && s.number == n) return s.code;
    return u"<none>";
  }
  static int count(const TranslationResult& r, TranslatorMessage::Kind k) {
    int n = 0;
    for (const auto& m : r.messages) n += m.kind == k;
    return n;
  }

  TranslatorSettings settings;
  TranslatorState state;
  MemoryHost host;
};

TEST_F(Translator, RunLevelsOnlyFromTheFirstTranslationOfAnEngineLife) {
  TranslationResult first = run(u"<#--LevelRun=No_File>\n#Include \"/s/inc.qz\"\n<#Module>\n<#Module>\n", u"/s/main.qz");
  // (the include is missing: the flags come from the main text)
  EXPECT_TRUE(first.run_levels_applied);
  EXPECT_TRUE(state.run_levels[RunLevel::NoFile]);
  EXPECT_TRUE(first.run_levels_stated[RunLevel::NoFile]);

  host.add_file(u"/s/added.qz", "<#--LevelRun=No_Registry>\n<#--LevelRun=No_Include>\n<#Module>\n<#Module>\n");
  TranslationResult second = run(u"<#--LevelRun=No_Registry>\n<#Module>\nx = 1\n<#Module>\n", u"/s/added.qz");
  EXPECT_FALSE(second.run_levels_applied);
  EXPECT_FALSE(state.run_levels[RunLevel::NoRegistry]);
  EXPECT_TRUE(second.run_levels_stated[RunLevel::NoRegistry]);  // reported all the same
  EXPECT_FALSE(has(module_code(second, 2), u"LevelRun"));          // outside the sections
}

// A pass whose directive cannot be in the text skips its pattern; one that the patterns'
// Unicode case folding finds (a long s for "s") must still take effect.
TEST_F(Translator, DirectivesFoundThroughUnicodeCaseFoldingStillApply) {
  host.add_file(u"/s/inc.qz", "Const FROM_INCLUDE = 1\r\n");
  TranslationResult r = run(u"<#--No\u017FhowError>\n<#Module>\n#Include \"/s/inc.qz\"\n"
                            u"Private Type T\nx As Long\nEnd Type\n<#Module>\n");
  EXPECT_TRUE(r.no_show_error);
  const std::u16string code = module_code(r, 1);
  EXPECT_TRUE(has(code, u"Const FROM_INCLUDE = 1"));
  EXPECT_TRUE(has(code, u"Class T"));
  EXPECT_FALSE(has(code, u"ShowError"));

  // Nothing to find: the text goes through unchanged.
  TranslationResult plain = run(u"<#Module>\nSub Load(cmd)\n  x = \"#Lib <a> Type \"\nEnd Sub\n<#Module>\n");
  EXPECT_TRUE(has(module_code(plain, 2), u"x = \"#Lib <a> Type \""));
}

TEST_F(Translator, RunLevelsFromAnIncludedFileApply) {
  host.add_file(u"/s/levels.qz", "<#--LevelRun=No_DLL>\r\n<#--LevelRun=No_UI>\r\n");
  TranslationResult r = run(u"#Include \"/s/levels.qz\"\n<#Module>\n<#Module>\n");
  EXPECT_TRUE(state.run_levels[RunLevel::NoDLL]);
  EXPECT_TRUE(r.allow_ui_off);
  EXPECT_TRUE(r.run_levels_stated[RunLevel::NoUI]);
}

TEST_F(Translator, NoIncludeStopsIncludesInLaterTranslations) {
  host.add_file(u"/s/inc.qz", "Const FROM_INCLUDE = 1\r\n");
  TranslationResult first = run(u"<#--LevelRun=No_Include>\n<#Module>\n#Include \"/s/inc.qz\"\n<#Module>\n");
  EXPECT_TRUE(has(module_code(first, 1), u"FROM_INCLUDE"));  // the flag is set after this script's includes
  TranslationResult second = run(u"<#Module>\n#Include \"/s/inc.qz\"\n<#Module>\n", u"/s/second.qz");
  EXPECT_FALSE(has(module_code(second, 2), u"FROM_INCLUDE"));
  EXPECT_TRUE(second.includes.empty());
}

TEST_F(Translator, FirstDeveloperAddressOfAnEngineLifeWins) {
  TranslationResult r = run(u"<#--Develop=\"a@x.org\">\n<#--Develop=\"b@x.org\">\n<#Module>\n<#Module>\n");
  EXPECT_EQ(state.develop_address, u"a@x.org");
  ASSERT_EQ(r.develop_addresses.size(), 2u);
  run(u"<#--Develop=\"c@x.org\">\n<#Module>\n<#Module>\n", u"/s/other.qz");
  EXPECT_EQ(state.develop_address, u"a@x.org");
}

TEST_F(Translator, MissingLibraryMessageFollowsLanguageAndErrorDisplay) {
  settings.language_id = 1049;
  TranslationResult r = run(u"#Lib <nolib>\n<#Module>\n<#Module>\n");
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].first, u"Внимание");
  EXPECT_EQ(host.shown[0].second, u"Библиотека 'nolib.qz' не найдена!");
  EXPECT_TRUE(r.messages.at(0).shown);

  settings.language_id = 1033;
  TranslationResult english = run(u"#Lib <nolib>\n<#Module>\n<#Module>\n", u"/s/two.qz");
  EXPECT_EQ(english.messages.at(0).text, u"Library 'nolib.qz' not found!");

  host.shown.clear();
  TranslationResult quiet = run(u"<#--NoShowError>\n#Lib <nolib>\n<#Module>\n<#Module>\n", u"/s/three.qz");
  EXPECT_TRUE(host.shown.empty());
  ASSERT_EQ(quiet.messages.size(), 1u);
  EXPECT_FALSE(quiet.messages[0].shown);
}

TEST_F(Translator, IncludeMessagesWaitForTheErrorDisplayDirective) {
  TranslationResult r = run(u"#Include \"/s/none.qz\"\n<#--NoShowError>\n<#Module>\n<#Module>\n");
  EXPECT_EQ(count(r, TranslatorMessage::Kind::MissingInclude), 1);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(Translator, MissingIncludeIsDroppedOnce) {
  TranslationResult r = run(u"<#Module>\na = 1\n#Include \"/s/none.qz\"\nb = 2\n<#Module>\n");
  EXPECT_EQ(count(r, TranslatorMessage::Kind::MissingInclude), 1);
  std::u16string code = module_code(r, 1);
  EXPECT_FALSE(has(code, u"#Include"));
  EXPECT_TRUE(has(code, u"a = 1\nb = 2"));  // the directive's line break went with it
}

TEST_F(Translator, SelfIncludingFilesEnd) {
  host.add_file(u"/s/self.qz", "s = 1\r\n#Include \"/s/self.qz\"\r\n");
  host.add_file(u"/s/a.qz", "a = 1\r\n#Include \"/s/b.qz\"\r\n");
  host.add_file(u"/s/b.qz", "b = 1\r\n#Include \"/s/a.qz\"\r\n#Include \"/s/main.qz\"\r\n");
  host.add_file(u"/s/main.qz", "");
  TranslationResult r = run(u"<#Module>\n#Include \"/s/self.qz\"\n#Include \"/s/a.qz\"\n<#Module>\n");
  EXPECT_EQ(count(r, TranslatorMessage::Kind::IncludeCycle), 3);
  std::u16string code = module_code(r, 1);
  // Each refused directive went with its line break, as a removed directive does.
  EXPECT_TRUE(has(code, u"s = 1\n\r\na = 1\r\nb = 1\n")) << show_breaks(code);
}

TEST_F(Translator, IncludeNestingIsCapped) {
  for (int i = 0; i < 80; ++i)
    host.add_file(u"/s/n" + utf8_to_u16(std::to_string(i)) + u".qz",
                  "x" + std::to_string(i) + " = 1\r\n#Include \"/s/n" + std::to_string(i + 1) + ".qz\"\r\n");
  TranslationResult r = run(u"<#Module>\n#Include \"/s/n0.qz\"\n<#Module>\n");
  EXPECT_EQ(count(r, TranslatorMessage::Kind::IncludeTooDeep), 1);
  std::u16string code = module_code(r, 1);
  EXPECT_TRUE(has(code, u"x63 = 1"));
  EXPECT_FALSE(has(code, u"x64 = 1"));
}

TEST_F(Translator, IncludeFanOutIsBoundedInSize) {
  // Each level includes the next one twice: 2^40 copies unless the growth is bounded.
  for (int i = 0; i < 40; ++i) {
    std::string next = "#Include \"/s/f" + std::to_string(i + 1) + ".qz\"\r\n";
    host.add_file(u"/s/f" + utf8_to_u16(std::to_string(i)) + u".qz", std::string(200000, 'x') + "\r\n" + next + next);
  }
  host.add_file(u"/s/f40.qz", "end\r\n");
  auto start = std::chrono::steady_clock::now();
  TranslationResult r = run(u"<#Module>\n#Include \"/s/f0.qz\"\n<#Module>\n");
  EXPECT_EQ(count(r, TranslatorMessage::Kind::IncludeTooLarge), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(Translator, LibrariesThatNameEverNewOnesStopAtTheModuleTable) {
  // Each library names three new ones: 3^7 libraries unless the number is bounded.
  for (int i = 0; i < 3300; ++i) {
    std::string text = "<#Module=l" + std::to_string(i) + ">\r\n<#Module>\r\n";
    for (int k = 1; k <= 3; ++k) text = "#Lib </s/l" + std::to_string(3 * i + k) + ">\r\n" + text;
    host.add_file(u"/s/l" + utf8_to_u16(std::to_string(i)) + u".qz", text);
  }
  TranslationResult r = run(u"#Lib </s/l0>\n<#Module>\n<#Module>\n");
  EXPECT_GE(count(r, TranslatorMessage::Kind::LibraryTooDeep), 1);
  EXPECT_LE(state.module_counter, 256);
}

TEST_F(Translator, IncludedTextGoesInLiterally) {
  host.add_file(u"/s/d.qz", "s = \"$1 $& $$ $` $'\"\r\n#Include \"/s/e.qz\"\r\n");
  host.add_file(u"/s/e.qz", "#Include \"/s/f.qz\"\r\n");
  host.add_file(u"/s/f.qz", "f = 1\r\n");
  TranslationResult r = run(u"<#Module>\n#Include \"/s/d.qz\"\n<#Module>\n");
  std::u16string code = module_code(r, 1);
  // $1 becomes a match reference later, as anywhere in a script; the other sequences stay.
  EXPECT_TRUE(has(code, u"s = \" sys.rxp_param(1) $& $$ $` $'\"") || has(code, u"s = \"sys.rxp_param(1) $& $$ $` $'\""))
      << show_breaks(code);
  EXPECT_TRUE(has(code, u"f = 1"));  // an include on the first line of an included file
}

TEST_F(Translator, FormsAndModulesAreNumberedInLoadOrder) {
  TranslationResult r = run(u"<#Form=frmA>\n<#Form>\n<#Form=frmB>\n<#Form>\n<#Module>\n<#Module>\n");
  ASSERT_EQ(r.steps.size(), 3u);
  EXPECT_EQ(r.steps[0].kind, LoadKind::Form);
  EXPECT_EQ(r.steps[0].number, 2);
  EXPECT_EQ(r.steps[0].control_name, u"2_mdl_form_");
  EXPECT_EQ(r.steps[0].register_name, u"frmA");
  EXPECT_EQ(r.steps[1].number, 3);
  EXPECT_EQ(r.steps[2].kind, LoadKind::Module);
  EXPECT_EQ(r.steps[2].number, 1);
  EXPECT_EQ(r.steps[2].control_name, u"1_mdl_module_");
  EXPECT_EQ(r.main_module, 1);
  EXPECT_EQ(state.module_counter, 3);
  ASSERT_NE(state.modules.find(2), nullptr);
  EXPECT_EQ(state.modules.find(2)->kind, ModuleKind::Form);
  EXPECT_EQ(state.modules.find(1)->name, u"main");
  EXPECT_EQ(state.modules.find(1)->folder, u"/s/");
  // The host saw the same steps, in the same order.
  ASSERT_EQ(host.loaded.size(), r.steps.size());
  for (size_t i = 0; i < r.steps.size(); ++i) EXPECT_EQ(host.loaded[i].control_name, r.steps[i].control_name);

  TranslationResult added = run(u"<#Module>\nSub X()\nEnd Sub\n<#Module>\n", u"/s/added.qz");
  EXPECT_EQ(added.main_module, 4);
  ASSERT_EQ(added.steps.size(), 2u);
  EXPECT_EQ(added.steps[0].role, ModuleRole::Module);
  EXPECT_EQ(added.steps[1].kind, LoadKind::ModuleObject);
  EXPECT_EQ(added.steps[1].register_name, u"added");
  EXPECT_FALSE(has(added.steps[0].code, u"qzl_Version"));  // only module 1 has the prologue
}

TEST_F(Translator, ModuleNumbersBeyondTheTableWriteNothingOutsideIt) {
  state.module_counter = 300;
  TranslationResult r = run(u"<#Module>\nx = 1\n<#Module>\n<#Form=f>\n<#Form>\n<#res id=3 name=\"r\"#>\r\nab\r\n<#res#>");
  EXPECT_EQ(r.main_module, 301);
  EXPECT_EQ(state.modules.find(301), nullptr);
  EXPECT_FALSE(has(module_code(r, 301), u"qz_NameMod"));
  ASSERT_EQ(r.resources.size(), 1u);
  EXPECT_FALSE(r.resources[0].stored);
  EXPECT_EQ(state.resources.count(), 0u);
}

TEST_F(Translator, ResourceTableHoldsOnlyWhatTheScriptHolds) {
  run(u"<#Module>\n<#Module>\n<#res id=32767 name=\"big\"#>\r\nx\r\n<#res#>\r\n<#res id=32768 name=\"over\"#>\r\ny\r\n<#res#>"
      u"\r\n<#res id=1e3 name=\"exp\"#>\r\nz\r\n<#res#>\r\n");
  EXPECT_EQ(state.resources.count(), 2u);
  EXPECT_EQ(state.resources.max_id(), 32767);
  ASSERT_NE(state.resources.find(1, 32767), nullptr);
  EXPECT_EQ(state.resources.find(1, 32767)->data, "x");
  EXPECT_EQ(state.resources.find(1, 1000)->name, u"exp");
  EXPECT_EQ(state.resources.find(1, 5)->name, u"");     // inside the extent, never filled
  EXPECT_EQ(state.resources.find(1, 32768), nullptr);   // outside the extent
  EXPECT_EQ(state.resources.find(256, 1), nullptr);
  EXPECT_EQ(state.resources.find(-1, 1), nullptr);
}

TEST_F(Translator, ResourceDataStayByteExactWhileCodeLineFeedsBecomeCrLf) {
  const std::string data("\n\r\0\xff", 4);
  std::string script = "<#Module>\nx = 1\n<#Module>\n<#res id=2 name=\"bin\"#>\r\n" + data + "\r\n<#res#>\r\n";
  TranslationResult r = translate_script(script, u"/s/main.qz", settings, state, &host);
  ASSERT_EQ(r.resources.size(), 1u);
  EXPECT_EQ(r.resources[0].data, data);
  EXPECT_TRUE(has(module_code(r, 1), u"\r\nx = 1\r\r\n"));
}

TEST_F(Translator, ScriptBytesDecodeAsUtf8OrTheAnsiPage) {
  TranslationResult utf8 = run(u"<#Module>\ns = \"Привет\"\n<#Module>\n");
  EXPECT_TRUE(has(module_code(utf8, 1), u"s = \"Привет\""));
  std::string cp1251 = "<#Module>\ns = \"\xcf\xf0\xe8\xe2\xe5\xf2\"\n<#Module>\n";
  ::setenv("QUAZEL_LANGID", "1049", 1);
  TranslationResult ansi = translate_script(cp1251, u"/s/a.qz", settings, state, &host);
  ::unsetenv("QUAZEL_LANGID");
  EXPECT_TRUE(has(module_code(ansi, 2), u"s = \"Привет\"")) << show_breaks(module_code(ansi, 2));
}

TEST_F(Translator, PackedScriptsUnpackAndDamagedOnesAreReported) {
  std::string plain = "<#Module>\nSub Load(a)\nEnd Sub\n<#Module>\n";
  TranslationResult packed = translate_script(pack::pack(plain), u"/s/p.qz", settings, state, &host);
  EXPECT_TRUE(has(module_code(packed, 1), u"Sub Load(a)"));

  std::string damaged = pack::pack(plain);
  damaged.resize(damaged.size() - 5);
  TranslationResult bad = translate_script(damaged, u"/s/d.qz", settings, state, &host);
  EXPECT_TRUE(bad.steps.empty());
  EXPECT_EQ(count(bad, TranslatorMessage::Kind::DamagedScript), 1);
}

TEST_F(Translator, LibrariesLoadOnceAndCyclesEnd) {
  host.add_file(u"/s/a.qz", "#Lib <b>\r\n<#Module>\r\nConst A = 1\r\n<#Module>\r\n");
  host.add_file(u"/s/b.qz", "#Lib <a>\r\n#Lib <A>\r\n<#Module>\r\nConst B = 1\r\n<#Module>\r\n");
  TranslationResult r = run(u"#Lib <a>\n#Lib <b>\n<#Module>\n<#Module>\n");
  int libs = 0;
  for (const LoadStep& s : r.steps) libs += s.kind == LoadKind::Module && s.role == ModuleRole::Lib;
  EXPECT_EQ(libs, 2);
  // A later translation naming the same library does not load it again.
  TranslationResult again = run(u"#Lib <b>\n<#Module>\n<#Module>\n", u"/s/again.qz");
  EXPECT_EQ(again.steps.size(), 2u);  // its own module and module object only

  // Beyond the module table the check still holds.
  state.module_counter = 400;
  host.add_file(u"/s/c.qz", "#Lib <d>\r\n<#Module>\r\n<#Module>\r\n");
  host.add_file(u"/s/d.qz", "#Lib <c>\r\n<#Module>\r\n<#Module>\r\n");
  TranslationResult far = run(u"#Lib <c>\n<#Module>\n<#Module>\n", u"/s/far.qz");
  EXPECT_EQ(far.steps.size(), 6u);
}

TEST_F(Translator, DeclareWrappersGoToTheGlobalScope) {
  TranslationResult r = run(u"Declare Sub Beep Lib \"k\" (ByVal a As Long)\n<#Module>\n<#Module>\n");
  ASSERT_EQ(r.steps.size(), 2u);
  EXPECT_EQ(r.steps[1].kind, LoadKind::GlobalCode);
  EXPECT_EQ(r.steps[1].code, u"Sub Beep(dll_var0)\r\nCall sys.dynapi.calldeclared(\"k\",\"Beep\", dll_var0)\r\nEnd Sub\r\n\r\n");
}

TEST_F(Translator, PrologueFollowsSettingsAndCreateObjectLevel) {
  settings.stdout_usable = false;
  settings.version_major = 8;
  settings.twips_per_pixel_x = 12.5f;
  TranslationResult r = run(u"<#--LevelRun=No_CreateObject>\n<#Module>\n<#Module>\n");
  std::u16string code = module_code(r, 1);
  EXPECT_TRUE(has(code, u"Const qzl_Version = \"8.0\"\r\n"));
  EXPECT_TRUE(has(code, u"Const vbPX = 12.5\r\n"));
  EXPECT_TRUE(has(code, u"Sub Print(prnObj, prnTxt)\r\n"));
  EXPECT_TRUE(has(code, u"Function CreateObject(tmpArg)\r\n"));
  EXPECT_TRUE(has(code, u"Sub EndQz()\r\n  sys.endqz\r\nEnd Sub\r\n\r\n"));
}

TEST_F(Translator, EndRequestIsClearedByEveryTranslation) {
  state.end_requested = true;
  run(u"<#Module>\n<#Module>\n");
  EXPECT_FALSE(state.end_requested);
}

TEST_F(Translator, DumpsEveryModuleToTheDumpFolder) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / ("qz-translator-dump-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  ::setenv("QUAZEL_DUMP_DIR", dir.c_str(), 1);
  run(u"Declare Sub B Lib \"k\" ()\n<#Form=frmA>\nSub Form_Load()\nEnd Sub\n<#Form>\n<#Module>\nx = 1\n<#Module>\n");
  ::unsetenv("QUAZEL_DUMP_DIR");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"01_form_frmA.vbs", "02_main_main.vbs", "03_global_main.vbs"}));
  std::ifstream in(dir / "02_main_main.vbs", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("x = 1"), std::string::npos);
  std::filesystem::remove_all(dir);
}

TEST_F(Translator, AnyBytesTranslateWithoutThrowing) {
  std::mt19937 rng(7);
  const std::string alphabet = "<#>\r\n\"$^=~/ _.()*:'%abcdefgiLmnorstuxyDMTCFNEIKSRWVAB0123456789\xd0\xb0\xff";
  for (int round = 0; round < 300; ++round) {
    std::string script;
    size_t len = rng() % 400;
    for (size_t i = 0; i < len; ++i) script.push_back(alphabet[rng() % alphabet.size()]);
    TranslatorState fresh;
    EXPECT_NO_THROW(translate_script(script, u"/s/fuzz.qz", settings, fresh, &host));
  }
}

}  // namespace
}  // namespace qz::test
