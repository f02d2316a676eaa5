// The make builder on real files: each make.ini section, the standalone program's bytes, the
// title area, templates that are standalone programs already, and the refusals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "engine/make/make_builder.h"
#include "engine/make/standalone_layout.h"
#include "engine/pack/packed_script.h"
#include "platform/path.h"
#include "tests/pack/test_files.h"

namespace qz::make {
namespace {

using test::read_file;
using test::write_file;

const std::string kScript = "Sub Load(a)\r\n  sys.Echo a\r\nEnd Sub\r\n";

std::string title_area(std::string_view title = "Quazel") {
  std::string area(title);
  area += '\0';
  area += "AddSpaceTitle";
  area += std::string(92, '-');
  area += '\0';
  return area;
}

// A stand-in for the host program: an ELF signature, some bytes, the title area, more bytes.
std::string elf_template() {
  std::string t = "\x7f" "ELF" + std::string(60, '\x01') + title_area() + std::string(40, '\x02');
  return t;
}

std::string plain_of(const std::string& bytes) {
  std::string reason;
  auto plain = pack::unpack(bytes, reason);
  EXPECT_TRUE(plain) << reason;
  return plain.value_or("");
}

class MakeBuilder : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(dir / "host", elf_template());
    ctx.host_executable = dir / "host";
    ctx.note = [this](const std::string& line) { notes.push_back(line); };
  }

  MakeResult make(const std::string& ini, const std::string& script = kScript, const std::string& name = "app.qz") {
    write_file(dir / name, script);
    if (!ini.empty()) write_file(dir / "make.ini", ini);
    return build_from_make_ini(script_path(dir / name), ctx);
  }

  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::ScratchFolder dir;
  MakeContext ctx;
  std::vector<std::string> notes;
};

TEST_F(MakeBuilder, WithoutMakeIniAProgramIsBuiltAndTheScriptStaysReadable) {
  for (bool empty_ini : {false, true}) {
    SCOPED_TRACE(empty_ini ? "empty make.ini" : "no make.ini");
    std::filesystem::remove(dir / "app");
    if (empty_ini) write_file(dir / "make.ini", "");
    auto r = make("");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.packed);
    EXPECT_EQ(read_file(dir / "app.qz"), kScript);  // the source is not replaced
    ASSERT_EQ(r.executable_path, dir / "app");
    const std::string program = read_file(dir / "app");
    const size_t at = program.find(standalone::end_marker());
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(plain_of(program.substr(at + standalone::end_marker().size())), kScript);
  }
}

TEST_F(MakeBuilder, ResfileAppendsBlocksWithoutPacking) {
  std::string bin;
  for (int i = 0; i < 256; ++i) bin.push_back(static_cast<char>(i));
  write_file(dir / "data.bin", bin);
  write_file(dir / "abc.txt", "abcd");
  for (const char* eol : {"\r\n", "\n"}) {
    SCOPED_TRACE(eol == std::string("\n") ? "LF" : "CR LF");
    std::string ini = std::string("[resfile]") + eol + "note=*first<#vbcrlf#>second" + eol + "bin = data.bin" + eol +
                      "b64:base64=abc.txt" + eol + "big:BASE64=abc.txt" + eol + "gone=missing.dat" + eol;
    notes.clear();
    auto r = make(ini);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(r.packed);
    EXPECT_EQ(read_file(dir / "app.qz"),
              kScript +
                  "\r\n<#res id=note name=\"info\"  #>\r\nfirst\r\nsecond\r\n<#res#>\r\n"
                  "\r\n<#res id=bin name=\"data.bin\"  #>\r\n" + bin + "\r\n<#res#>\r\n"
                  "\r\n<#res id=b64 name=\"abc.txt\" :base64 #>\r\nYWJjZA==\r\n<#res#>\r\n"
                  "\r\n<#res id=big name=\"abc.txt\" :BASE64 #>\r\nabcd\r\n<#res#>\r\n"
                  "\r\n<#res id=gone name=\"missing.dat\"  #>\r\n\r\n<#res#>\r\n");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("missing.dat"), std::string::npos);
  }
}

TEST_F(MakeBuilder, Base64DataComeIn76CharacterLines) {
  write_file(dir / "blob", std::string(100, 'x'));  // 136 characters: one full line and a rest
  auto r = make("[resfile]\r\nb:base64=blob\r\n");
  ASSERT_TRUE(r.ok) << r.error;
  const std::string s = read_file(dir / "app.qz");
  const std::string body = s.substr(s.find("#>\r\n") + 4);
  EXPECT_EQ(body.find("\r\n"), 76u);
  EXPECT_EQ(body.substr(78, body.find("\r\n<#res#>") - 78).size(), 60u);
}

TEST_F(MakeBuilder, FileCopiesTheScriptAndTheCopyIsBuilt) {
  ::mkdir((dir / "out").c_str(), 0755);
  auto r = make("[options]\r\nfile = out\\dist.qz\r\ntype = full\r\n[resfile]\r\nx=*y\r\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.script_path, dir / "out/dist.qz");
  EXPECT_EQ(read_file(dir / "app.qz"), kScript);  // the original stays as it was
  EXPECT_EQ(plain_of(read_file(dir / "out/dist.qz")), kScript + "\r\n<#res id=x name=\"info\"  #>\r\ny\r\n<#res#>\r\n");
}

TEST_F(MakeBuilder, PathMacrosAreExpandedInPaths) {
  ::mkdir((dir / "inc").c_str(), 0755);
  write_file(dir / "inc/r.txt", "R");
  ctx.expand_path_macros = [this](std::u16string_view p) {
    std::u16string s(p);
    if (size_t at = s.find(u"%qz_path%"); at != std::u16string::npos)
      s.replace(at, 9, script_path(dir.path().substr(0, dir.path().size() - 1)));
    return s;
  };
  auto r = make("[resfile]\r\nr=%qz_path%\\inc\\r.txt\r\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_NE(read_file(dir / "app.qz").find("name=\"r.txt\"  #>\r\nR\r\n"), std::string::npos);
}

TEST_F(MakeBuilder, CompileExeWritesTemplateTitleMarkerAndPackedScript) {
  auto r = make("[options]\r\ncompile=exe\r\ntype=full\r\ntitle=Hello\r\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.executable_path, dir / "app");
  const std::string packed = read_file(dir / "app.qz");
  EXPECT_EQ(plain_of(packed), kScript) << "packed once, not twice";

  std::string expected_image = elf_template();
  expected_image.replace(expected_image.find(title_area()), 6, std::string("Hello\0", 6));
  EXPECT_EQ(read_file(dir / "app"), expected_image + standalone::end_marker() + packed);
  EXPECT_EQ(test::file_mode(dir / "app"), 0755u);
}

TEST_F(MakeBuilder, CompileExePacksEvenWithoutTypeFull) {
  auto r = make("[options]\r\ncompile = EXE\r\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.packed);
  const std::string exe = read_file(dir / "app");
  EXPECT_EQ(exe.substr(exe.find(standalone::end_marker()) + 12), read_file(dir / "app.qz"));
}

TEST_F(MakeBuilder, TitleArea) {
  const std::string long_title(200, 'T');
  struct Case {
    const char* name;
    std::string title_line;
    std::string area;
  };
  const Case cases[] = {
      {"no title key keeps the template's", "", title_area()},
      {"a short title keeps the old bytes after its zero",
       "title=Abc\r\n", std::string("Abc\0", 4) + title_area().substr(4)},
      {"an empty title is one zero byte", "title=\r\n", std::string(1, '\0') + title_area().substr(1)},
      {"200 characters are cut to 112", "title=" + long_title + "\r\n", std::string(112, 'T') + '\0'},
      {"the title is written in the ANSI page", "title=Привет\r\n",
       std::string("\xCF\xF0\xE8\xE2\xE5\xF2\0", 7) + title_area().substr(7)},
  };
  setenv("QUAZEL_LANGID", "1049", 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto r = make("[options]\r\ncompile=exe\r\n" + c.title_line);
    ASSERT_TRUE(r.ok) << r.error;
    const std::string exe = read_file(dir / "app");
    EXPECT_EQ(exe.substr(64, 113), c.area);
    EXPECT_EQ(exe.substr(0, 64), elf_template().substr(0, 64));
  }
  unsetenv("QUAZEL_LANGID");
}

TEST_F(MakeBuilder, OutputNameReplacesOnlyAFinalQz) {
  write_file(dir / "host.bin", elf_template());
  ::mkdir((dir / "x.qz").c_str(), 0755);
  write_file(dir / "x.qz/make.ini", "[options]\r\ncompile=exe\r\nmodule=" + (dir / "host.bin") + "\r\n");
  write_file(dir / "x.qz/Tool.QZ", kScript);
  auto r = build_from_make_ini(script_path(dir / "x.qz/Tool.QZ"), ctx);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.executable_path, dir / "x.qz/Tool.bin");

  // A script not named *.qz gets the template's extension appended.
  write_file(dir / "x.qz/script.txt", kScript);
  r = build_from_make_ini(script_path(dir / "x.qz/script.txt"), ctx);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.executable_path, dir / "x.qz/script.txt.bin");
}

TEST_F(MakeBuilder, AStandaloneProgramAsTemplateIsCutAtItsMarker) {
  ASSERT_TRUE(make("[options]\r\ncompile=exe\r\ntitle=First\r\n").ok);
  const std::string first = read_file(dir / "app");
  write_file(dir / "other.qz", "Sub Load(a)\r\nEnd Sub\r\n");
  write_file(dir / "make.ini", "[options]\r\ncompile=exe\r\nmodule=app\r\n");
  auto r = build_from_make_ini(script_path(dir / "other.qz"), ctx);
  ASSERT_TRUE(r.ok) << r.error;
  const std::string second = read_file(dir / "other");
  const std::string marker = standalone::end_marker();
  const size_t cut = first.find(marker);
  EXPECT_EQ(second, first.substr(0, cut) + marker + read_file(dir / "other.qz"));
  EXPECT_EQ(second.find(marker, cut + 1), std::string::npos) << "one marker only";
}

TEST_F(MakeBuilder, RefusesToOverwriteTheScriptOrTheTemplate) {
  // A script without ".qz" and a template without an extension would give the script's name.
  write_file(dir / "tool", kScript);
  write_file(dir / "make.ini", "[options]\r\ncompile=exe\r\n");
  auto r = build_from_make_ini(script_path(dir / "tool"), ctx);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("replace the script"), std::string::npos) << r.error;
  EXPECT_EQ(read_file(dir / "tool"), kScript) << "refused before anything was written";

  // app.qz with the template "app" beside it would write over the template.
  write_file(dir / "app", elf_template());
  r = make("[options]\r\ncompile=exe\r\nmodule=app\r\n");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("template"), std::string::npos) << r.error;
  EXPECT_EQ(read_file(dir / "app"), elf_template());
  EXPECT_EQ(read_file(dir / "app.qz"), kScript);
}

TEST_F(MakeBuilder, FailuresAreReported) {
  auto r = make("[options]\r\ncompile=exe\r\nmodule=nowhere/host\r\n");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("nowhere/host"), std::string::npos) << r.error;
  EXPECT_FALSE(test::exists(dir / "app"));

  r = make("[options]\r\nfile=no/such/folder/x.qz\r\n");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("x.qz"), std::string::npos) << r.error;

  r = build_from_make_ini(script_path(dir / "absent.qz"), ctx);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("absent.qz"), std::string::npos) << r.error;
}

TEST_F(MakeBuilder, IconAndResourceEditsOnAnElfTemplateAreSkippedWithANote) {
  write_file(dir / "app.ico", "icon");
  auto r = make(
      "[options]\r\ncompile=exe\r\nicon=app.ico\r\n"
      "[resource]\r\nversion.set...0409.FileDescription = My program\r\nstring.remove.1033...12 = x\r\n");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_NE(notes[0].find("icon"), std::string::npos);
  EXPECT_NE(notes[0].find("ELF"), std::string::npos);
  EXPECT_NE(notes[1].find("2 [resource] edit line"), std::string::npos);
  EXPECT_TRUE(test::exists(dir / "app"));

  // No icon file and no edit lines: nothing to say.
  notes.clear();
  ASSERT_TRUE(make("[options]\r\ncompile=exe\r\nicon=none.ico\r\n[resource]\r\nno edit lines\r\n").ok);
  EXPECT_TRUE(notes.empty());
}

TEST_F(MakeBuilder, ABareScriptNameFindsMakeIniBesideItElseInTheEngineFolder) {
  test::ScratchFolder engine;
  write_file(engine / "make.ini", "[resfile]\r\nx=*from the engine folder\r\n");
  ctx.engine_folder = engine.path();
  char cwd[4096];
  ASSERT_TRUE(::getcwd(cwd, sizeof cwd));
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  write_file(dir / "bare.qz", kScript);
  auto from_engine = build_from_make_ini(u"bare.qz", ctx);
  const std::string engine_built = read_file(dir / "bare.qz");
  write_file(dir / "bare.qz", kScript);
  write_file(dir / "make.ini", "[resfile]\r\nx=*from beside the script\r\n");
  auto from_beside = build_from_make_ini(u"bare.qz", ctx);
  ASSERT_EQ(::chdir(cwd), 0);
  ASSERT_TRUE(from_engine.ok) << from_engine.error;
  ASSERT_TRUE(from_beside.ok) << from_beside.error;
  EXPECT_NE(engine_built.find("from the engine folder"), std::string::npos);
  EXPECT_EQ(from_beside.script_path, dir / "bare.qz");
  EXPECT_NE(read_file(dir / "bare.qz").find("from beside the script"), std::string::npos);

  // A path that names a folder never looks in the engine folder.
  ::unlink((dir / "make.ini").c_str());
  write_file(dir / "bare.qz", kScript);
  ASSERT_TRUE(build_from_make_ini(script_path(dir / "bare.qz"), ctx).ok);
  EXPECT_EQ(read_file(dir / "bare.qz"), kScript);
  EXPECT_TRUE(std::filesystem::exists(dir / "bare"));
}

}  // namespace
}  // namespace qz::make
