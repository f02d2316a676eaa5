#include "services/clipboard/clipboard_object.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "com/convert.h"
#include "com/error.h"
#include "services/clipboard/clipboard_store.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

class ClipboardTest : public ::testing::Test {
 protected:
  Variant call(std::u16string_view name, std::vector<Variant> args = {}) { return clip->call(name, std::move(args)); }
  ClipboardStore store;
  Ref<Object> clip = new_clipboard_object(store, false);
};

TEST_F(ClipboardTest, TextRoundTripsThroughEveryTextFormat) {
  call(u"SetText", {Variant(u"Привет, clipboard")});
  EXPECT_EQ(to_u16(call(u"GetText")), u"Привет, clipboard");
  EXPECT_TRUE(to_bool(call(u"GetFormat", {Variant(int16_t{1})})));
  // Unicode and OEM text read the same entry, as the system converts between them.
  EXPECT_EQ(to_u16(call(u"GetText", {Variant(int16_t{13})})), u"Привет, clipboard");
  EXPECT_TRUE(to_bool(call(u"GetFormat", {Variant(int16_t{7})})));
  // Rich text is its own entry.
  EXPECT_FALSE(to_bool(call(u"GetFormat", {Variant(int16_t{-16639})})));
  EXPECT_FALSE(to_bool(call(u"GetFormat", {Variant(int16_t{2})})));
}

TEST_F(ClipboardTest, ByteStringsKeepTheirOddLength) {
  Str bytes = Str::from_bytes("\x01\xFF\x80", 3);
  call(u"SetText", {Variant(bytes)});
  Variant back = call(u"GetText");
  ASSERT_TRUE(back.is_string());
  EXPECT_EQ(back.as_str().byte_size(), 3u);
  EXPECT_TRUE(back.as_str() == bytes);
}

TEST_F(ClipboardTest, PicturesAndByteArraysUnderTheirFormats) {
  Ref<Object> picture = new_clipboard_object(store, false);  // any object stands for a picture
  call(u"SetData", {Variant(picture.get())});
  EXPECT_EQ(call(u"GetData").as_object(), picture.get());
  EXPECT_TRUE(to_bool(call(u"GetFormat", {Variant(int16_t{2})})));
  EXPECT_FALSE(to_bool(call(u"GetFormat", {Variant(int16_t{8})})));

  const unsigned char raw[] = {0, 7, 255};
  call(u"SetData", {Variant::byte_array(raw, 3), Variant(int16_t{8})});
  Variant arr = call(u"GetData", {Variant(int16_t{8})});
  ASSERT_TRUE(arr.is_array());
  EXPECT_EQ(arr.as_array()->total(), 3u);

  // Text is no picture, Nothing is no data, and a text format holds no picture.
  call(u"SetData", {Variant(u"text"), Variant(int16_t{3})});
  call(u"SetData", {Variant::nothing(), Variant(int16_t{9})});
  call(u"SetData", {Variant(picture.get()), Variant(int16_t{1})});
  for (int16_t f : {3, 9, 1}) EXPECT_FALSE(to_bool(call(u"GetFormat", {Variant(f)}))) << f;
  EXPECT_EQ(call(u"GetData", {Variant(int16_t{1})}).as_object(), nullptr);
}

TEST_F(ClipboardTest, ClearEmptiesEveryFormat) {
  call(u"SetText", {Variant(u"x")});
  call(u"SetData", {Variant(clip.get())});
  call(u"Clear");
  for (int16_t f : {1, 2, 13}) EXPECT_FALSE(to_bool(call(u"GetFormat", {Variant(f)}))) << f;
  EXPECT_EQ(to_u16(call(u"GetText")), u"");
  Variant data = call(u"GetData");
  EXPECT_TRUE(data.is_object());
  EXPECT_EQ(data.as_object(), nullptr);
}

TEST_F(ClipboardTest, BadFormatsResumeAndGetFormatNeedsItsArgument) {
  call(u"SetText", {Variant(u"kept")});
  call(u"SetText", {Variant(u"lost"), Variant(int16_t{2})});     // not a text format
  call(u"SetText", {Variant(u"lost"), Variant(u"not a number")});
  EXPECT_EQ(to_u16(call(u"GetText")), u"kept");
  EXPECT_EQ(to_u16(call(u"GetText", {Variant(int16_t{2})})), u"");
  EXPECT_EQ(to_u16(call(u"GetText", {Variant(u"nonsense")})), u"");
  EXPECT_FALSE(to_bool(call(u"GetFormat", {Variant(u"nonsense")})));
  EXPECT_FALSE(to_bool(call(u"GetFormat", {Variant(int32_t{70000})})));
  try {
    call(u"GetFormat");
    FAIL() << "GetFormat without its format";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, 449);
  }
}

// The desktop road, against a stand-in xclip that keeps the selection in a file.
TEST(DesktopClipboardTest, TextGoesThroughTheCopyTool) {
  fs::path dir = fs::temp_directory_path() / ("qz_clip_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path tool = dir / "xclip", store = dir / "selection";
  std::ofstream(tool) << "#!/bin/sh\n"
                         "case \"$*\" in *-o*) cat '" << store.string() << "' 2>/dev/null;; *) cat > '" << store.string()
                      << "';; esac\n";
  fs::permissions(tool, fs::perms::owner_all);
  std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
  const char* old_display = std::getenv("DISPLAY");
  std::string saved_display = old_display ? old_display : "";
  ::setenv("PATH", (dir.string() + ":" + old_path).c_str(), 1);
  ::setenv("DISPLAY", ":99", 1);
  ::unsetenv("WAYLAND_DISPLAY");

  ClipboardStore local;
  Ref<Object> clip = new_clipboard_object(local, true);
  clip->call(u"SetText", {Variant(u"über desktop")});
  std::stringstream raw;
  raw << std::ifstream(store).rdbuf();
  EXPECT_EQ(raw.str(), "\xC3\xBC" "ber desktop");
  // Another program changes the clipboard: the script sees that.
  std::ofstream(store) << "from elsewhere";
  EXPECT_EQ(to_u16(clip->call(u"GetText")), u"from elsewhere");
  clip->call(u"Clear");
  EXPECT_FALSE(to_bool(clip->call(u"GetFormat", {Variant(int16_t{1})})));

  ::setenv("PATH", old_path.c_str(), 1);
  if (old_display) ::setenv("DISPLAY", saved_display.c_str(), 1);
  else ::unsetenv("DISPLAY");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace qz
