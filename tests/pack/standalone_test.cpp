// The host's side of a standalone program: the marker search, the title area, and a real
// program (the probe, built from the host-side files alone) turned into a standalone by make.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "engine/make/elf_image_end.h"
#include "engine/make/embedded_script.h"
#include "engine/make/make_builder.h"
#include "engine/make/standalone_layout.h"
#include "engine/pack/packed_script.h"
#include "platform/path.h"
#include "tests/pack/test_files.h"

namespace qz::standalone {
namespace {

using test::read_file;
using test::write_file;

TEST(EmbeddedScript, MarkerBytes) {
  EXPECT_EQ(end_marker(), std::string("\0-$header$-\0", 12));
  EXPECT_EQ(title_area_signature(), std::string("Quazel\0AddSpaceTitle", 20));
  EXPECT_EQ(title_area_sentinel(), std::string("<qz-title-area>\0", 16));
}

TEST(EmbeddedScript, FindsTheTextAfterTheFirstMarker) {
  const std::string m = end_marker();
  EXPECT_EQ(find_embedded_script("no marker here"), std::nullopt);
  EXPECT_EQ(find_embedded_script(std::string("-$header$-", 10)), std::nullopt);
  EXPECT_EQ(find_embedded_script("prog" + m), std::string());
  EXPECT_EQ(find_embedded_script("prog" + m + "script"), std::string("script"));
  EXPECT_EQ(find_embedded_script("prog" + m + "a" + m + "b"), "a" + m + "b");
}

TEST(EmbeddedScript, TheHostSideCodeDoesNotCarryTheMarkerItself) {
  const std::string probe = read_file(STANDALONE_PROBE);
  EXPECT_EQ(probe.find(end_marker()), std::string::npos);
  // Exactly one title area, the one the host reads.
  const size_t first = probe.find(title_area_signature());
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(probe.find(title_area_signature(), first + 1), std::string::npos);
  EXPECT_EQ(probe.substr(first + 20, 93), std::string(92, '-') + '\0');
  ASSERT_GE(first, kTitleSentinelSize);
  EXPECT_EQ(probe.substr(first - kTitleSentinelSize, kTitleSentinelSize), title_area_sentinel());
}

// make appends the marker right behind the host's ELF image, where the host looks first.
TEST(EmbeddedScript, ElfImageEndIsWhereMakeAppends) {
  const std::string probe = read_file(STANDALONE_PROBE);
  ASSERT_GT(probe.size(), 64u);
  EXPECT_EQ(elf_image_end(probe), probe.size());
  EXPECT_EQ(elf_image_end(probe + end_marker() + "script"), probe.size());
  std::string other_class = probe, other_order = probe;
  other_class[4] = 3;
  other_order[5] = 0;
  const struct {
    const char* what;
    std::string file;
  } refused[] = {
      {"empty", ""},
      {"not ELF", "MZ" + std::string(100, '\0')},
      {"header cut short", probe.substr(0, 40)},
      {"section table cut short", probe.substr(0, probe.size() - 1)},
      {"unknown class", other_class},
      {"unknown byte order", other_order},
  };
  for (const auto& c : refused) EXPECT_EQ(elf_image_end(c.file), std::nullopt) << c.what;
}

// Runs a program and gives its output lines split at "=".
std::multimap<std::string, std::string> run(const std::string& command) {
  std::multimap<std::string, std::string> out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return out;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  EXPECT_EQ(::pclose(p), 0) << command;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    size_t eq = line.find('=');
    if (eq != std::string::npos) out.emplace(line.substr(0, eq), line.substr(eq + 1));
  }
  return out;
}

std::string unhex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

TEST(EmbeddedScript, AProgramBuiltByMakeFindsItsScriptTitleAndArguments) {
  test::ScratchFolder dir;
  const std::string script = "Sub Load(a)\r\n  sys.Echo a\r\nEnd Sub\r\n";
  write_file(dir / "app.qz", script);
  write_file(dir / "make.ini", "[options]\ncompile=exe\ntitle=My App\n[resfile]\nr=*x\n");
  make::MakeContext ctx;
  ctx.host_executable = STANDALONE_PROBE;
  auto r = make::build_from_make_ini(script_path(dir / "app.qz"), ctx);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.executable_path, dir / "app");

  // The probe itself: its own title, no script.
  auto plain = run(std::string(STANDALONE_PROBE));
  EXPECT_EQ(plain.find("title")->second, "Quazel");
  EXPECT_EQ(plain.find("embedded")->second, "no");

  auto built = run("'" + r.executable_path + "' one 'two words'");
  EXPECT_EQ(built.find("title")->second, "My App");
  const std::string embedded = unhex(built.find("script-hex")->second);
  EXPECT_EQ(embedded, read_file(dir / "app.qz"));
  std::string reason;
  EXPECT_EQ(pack::unpack(embedded, reason).value_or("?"), script + "\r\n<#res id=r name=\"info\"  #>\r\nx\r\n<#res#>\r\n");
  auto args = built.equal_range("arg");
  ASSERT_EQ(std::distance(args.first, args.second), 2);
  EXPECT_EQ(args.first->second, "one");
  EXPECT_EQ(std::next(args.first)->second, "two words");

  // The standalone program as the template of another: its script is replaced, not kept.
  write_file(dir / "second.qz", "Sub Load(a)\r\nEnd Sub\r\n");
  write_file(dir / "make.ini", "[options]\ncompile=exe\nmodule=app\ntitle=Second\n");
  r = make::build_from_make_ini(script_path(dir / "second.qz"), ctx);
  ASSERT_TRUE(r.ok) << r.error;
  auto second = run("'" + r.executable_path + "'");
  EXPECT_EQ(second.find("title")->second, "Second");
  EXPECT_EQ(unhex(second.find("script-hex")->second), read_file(dir / "second.qz"));
}

}  // namespace
}  // namespace qz::standalone
