// The engine library a standalone program carries: the block round trip, every kind of damage
// caught before the library is handed out, and make carrying (or leaving out) the engine.
#include <gtest/gtest.h>

#include <functional>

#include "engine/make/carried_engine.h"
#include "engine/make/embedded_script.h"
#include "engine/make/make_builder.h"
#include "engine/make/standalone_layout.h"
#include "platform/path.h"
#include "tests/pack/test_files.h"

namespace qz::standalone {
namespace {

using test::read_file;
using test::write_file;

// Bytes that compress, with every byte value in them.
std::string sample_library() {
  std::string lib = "\x7f" "ELF";
  for (int i = 0; i < 200000; ++i) lib.push_back(static_cast<char>((i * 7919) % 251 ^ (i >> 9)));
  return lib;
}

void set_le(std::string& block, size_t at, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) block[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

TEST(CarriedEngine, TheBlockComesBackAsTheLibraryAfterTheScript) {
  const std::string lib = sample_library();
  const std::string block = carried_engine_block(lib);
  ASSERT_EQ(block.substr(0, kMarkerSize), engine_marker());
  EXPECT_EQ(engine_marker(), std::string("\0-$engine$-\0", 12));
  EXPECT_LT(block.size(), lib.size());  // compressed

  const std::string script("QZC packed script bytes\0\x01\x02", 26);
  const std::string appended = script + block;
  EmbeddedParts parts = split_embedded(appended);
  EXPECT_EQ(parts.script, script);
  ASSERT_TRUE(parts.engine_block);
  std::string error;
  EXPECT_EQ(unpack_engine_block(*parts.engine_block, error), lib) << error;

  // What the host hands the engine is the script alone.
  EXPECT_EQ(find_embedded_script("prog" + end_marker() + script + block), script);
  EXPECT_FALSE(split_embedded(script).engine_block);
  EXPECT_EQ(split_embedded(script).script, script);
}

TEST(CarriedEngine, DamageIsFoundBeforeTheLibraryIsHandedOut) {
  const std::string good = carried_engine_block(sample_library());
  const size_t stored = good.size() - kEngineHeaderSize;
  struct Case {
    const char* what;
    std::function<std::string()> damage;
    const char* error;
  } cases[] = {
      {"header cut short", [&] { return good.substr(0, 30); }, "header is cut short"},
      {"marker only", [&] { return engine_marker(); }, "header is cut short"},
      {"data cut short", [&] { return good.substr(0, good.size() - 1); }, "stored bytes expected"},
      {"a byte too many", [&] { return good + "x"; }, "stored bytes expected"},
      {"unknown format", [&] { std::string b = good; set_le(b, 12, 2, 4); return b; }, "format 2 is unknown"},
      {"zero length", [&] { std::string b = good; set_le(b, 16, 0, 8); return b; }, "impossible"},
      {"huge length", [&] { std::string b = good; set_le(b, 16, uint64_t{1} << 62, 8); return b; }, "impossible"},
      {"length one short", [&] { std::string b = good; set_le(b, 16, sample_library().size() - 1, 8); return b; },
       "compressed bytes are damaged"},
      {"length one long", [&] { std::string b = good; set_le(b, 16, sample_library().size() + 1, 8); return b; },
       "compressed bytes are damaged"},
      {"stored length past the end", [&] { std::string b = good; set_le(b, 24, stored + 1000, 8); return b; },
       "stored bytes expected"},
      {"stored length wraps", [&] { std::string b = good; set_le(b, 24, ~uint64_t{0}, 8); return b; },
       "stored bytes expected"},
      {"a changed byte", [&] { std::string b = good; b[good.size() / 2] ^= 0x40; return b; }, "damaged"},
      {"another CRC", [&] { std::string b = good; b[32] ^= 1; return b; }, "CRC does not match"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(unpack_engine_block(c.damage(), error), std::nullopt) << c.what;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
  }
}

TEST(CarriedEngine, MakeCarriesTheEngineUnlessMakeIniLeavesItOut) {
  test::ScratchFolder dir;
  const std::string lib = sample_library();
  write_file(dir / "libengine.so", lib);
  write_file(dir / "app.qz", "Sub Load(a)\r\nEnd Sub\r\n");
  make::MakeContext ctx;
  ctx.host_executable = STANDALONE_PROBE;
  ctx.engine_library = dir / "libengine.so";
  std::vector<std::string> notes;
  ctx.note = [&](const std::string& line) { notes.push_back(line); };

  auto r = make::build_from_make_ini(script_path(dir / "app.qz"), ctx);
  ASSERT_TRUE(r.ok) << r.error;
  std::string program = read_file(r.executable_path);
  auto tail = find_embedded_script(program);
  ASSERT_TRUE(tail);
  const std::string after_marker = program.substr(program.find(end_marker()) + kMarkerSize);
  EmbeddedParts parts = split_embedded(after_marker);
  ASSERT_TRUE(parts.engine_block);
  std::string error;
  EXPECT_EQ(unpack_engine_block(*parts.engine_block, error), lib) << error;
  EXPECT_EQ(parts.script, *tail);

  // The standalone program as a template: the old engine goes with the old script.
  write_file(dir / "make.ini", "[options]\ncompile=exe\nmodule=app\nfile=second.qz\n");
  r = make::build_from_make_ini(script_path(dir / "app.qz"), ctx);
  ASSERT_TRUE(r.ok) << r.error;
  program = read_file(r.executable_path);
  EXPECT_EQ(program.find(engine_marker()), program.rfind(engine_marker()));

  write_file(dir / "make.ini", "[options]\ncompile=exe\nENGINE = External\n");
  r = make::build_from_make_ini(script_path(dir / "app.qz"), ctx);
  ASSERT_TRUE(r.ok) << r.error;
  program = read_file(r.executable_path);
  EXPECT_EQ(program.find(engine_marker()), std::string::npos);
  EXPECT_TRUE(notes.empty());

  // The engine to carry is gone: nothing is written, and make says what to do.
  test::ScratchFolder other;
  write_file(other / "b.qz", "Sub Load(a)\r\nEnd Sub\r\n");
  ctx.engine_library = other / "missing.so";
  r = make::build_from_make_ini(script_path(other / "b.qz"), ctx);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("engine=external"), std::string::npos) << r.error;
  EXPECT_FALSE(test::exists(other / "b"));
}

}  // namespace
}  // namespace qz::standalone
