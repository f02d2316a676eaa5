#include "services/cdlg/cdlg_object.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "com/convert.h"
#include "com/error.h"
#include "platform/path.h"
#include "services/cdlg/dialog_answers.h"
#include "services/cdlg/font_object.h"

namespace qz {
namespace {

// A script object with the five properties GetFileInfo fills, except those it lacks.
class InfoTarget : public NativeObject<InfoTarget> {
 public:
  std::u16string type_name() const override { return u"InfoTarget"; }
  static void define(Members<InfoTarget>& m) {
    for (const char16_t* name : {u"dwAttributes", u"hIcon", u"szDisplayName", u"szTypeName"}) {
      std::u16string key(name);
      m.property(name, [key](InfoTarget& t, Args) { return t.values[key]; },
                 [key](InfoTarget& t, Args, const Variant& v) { t.values[key] = v; });
    }
  }
  std::map<std::u16string, Variant> values;
};

class CDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { clear_common_dialog_answers(); }
  void TearDown() override { clear_common_dialog_answers(); }
  Variant call(std::u16string_view name, std::vector<Variant> args = {}) { return dlg->call(name, std::move(args)); }
  bool ui = true;
  Ref<Object> dlg = new_cdlg_object([this] { return ui; });
};

TEST_F(CDlgTest, PathDialogsTakeQueuedAnswersAndCancelWithout) {
  std::vector<Variant> open_args = {Variant(u"Text|*.txt|"), Variant(u"Pick"), Variant(u"/tmp"), Variant(u"txt"),
                                    Variant(int32_t{0}), Variant(int32_t{0}), Variant(int16_t{1}), Variant(u"a.txt")};
  queue_common_dialog_answer(std::u16string(u"  /tmp/chosen.txt  "));
  queue_common_dialog_answer(std::u16string(u"/tmp/folder\0/second", 19));  // a multiple selection
  queue_common_dialog_answer(std::nullopt);
  queue_common_dialog_answer(std::u16string(u"/home/x/"));
  EXPECT_EQ(to_u16(call(u"ShowOpen", open_args)), u"/tmp/chosen.txt");
  EXPECT_EQ(to_u16(call(u"ShowSave", open_args)), u"/tmp/folder");
  EXPECT_EQ(to_u16(call(u"ShowOpen", open_args)), u"");  // Cancel queued
  EXPECT_EQ(to_u16(call(u"ShowFolder", {Variant(u"Where?")})), u"/home/x/");
  EXPECT_EQ(to_u16(call(u"ShowSave", open_args)), u"");  // nothing queued
  EXPECT_EQ(to_u16(call(u"ShowFolder", {Variant(u"Where?")})), u"");
  // The buffer holds 260 characters.
  queue_common_dialog_answer(std::u16string(300, u'x'));
  EXPECT_EQ(to_u16(call(u"ShowOpen", open_args)).size(), 260u);
}

TEST_F(CDlgTest, ColourDialogMakesAndReturnsTheCustomColours) {
  Variant colours;  // uninitialised
  std::vector<Variant> args = {Variant::by_ref(&colours)};
  EXPECT_EQ(to_long(call(u"ShowColor", args)), -1);
  ASSERT_TRUE(colours.is_array());
  ASSERT_EQ(colours.as_array()->total(), 16u);
  EXPECT_EQ(to_long(colours.as_array()->items[15]), 0);

  std::vector<Variant> mine;
  for (int i = 0; i < 16; ++i) mine.push_back(Variant(int32_t{i * 1000}));
  colours = Variant::from_vector(mine);
  queue_common_dialog_answer(std::u16string(u"&HFF8000"));
  EXPECT_EQ(to_long(call(u"ShowColor", args)), 0xFF8000);
  EXPECT_EQ(to_long(colours.as_array()->items[7]), 7000);

  // A wrong-sized array starts over as zeros.
  colours = Variant::from_vector({Variant(int32_t{5}), Variant(int32_t{6})});
  call(u"ShowColor", args);
  EXPECT_EQ(colours.as_array()->total(), 16u);
  EXPECT_EQ(to_long(colours.as_array()->items[0]), 0);
}

TEST_F(CDlgTest, FontDialogCancelReturnsTheSameFontAndAnswerMakesANewOne) {
  FontChoice base{u"Serif", 8.25, 400, false, true, false, false};
  Ref<Object> font = new_font_object(base);
  Variant colour(int32_t{255});
  std::vector<Variant> args = {Variant(font.get()), Variant::by_ref(&colour)};
  EXPECT_EQ(call(u"ShowFont", args).as_object(), font.get());

  queue_common_dialog_answer(std::u16string(u"Mono|12|bold underline"));
  Variant chosen = call(u"ShowFont", args);
  ASSERT_TRUE(chosen.is_object());
  Object* f = chosen.as_object();
  EXPECT_NE(f, font.get());
  EXPECT_EQ(to_u16(f->get(u"Name")), u"Mono");
  EXPECT_DOUBLE_EQ(to_double(f->get(u"Size")), 12.0);
  EXPECT_TRUE(to_bool(f->get(u"Bold")));
  EXPECT_EQ(to_long(f->get(u"Weight")), 700);
  EXPECT_TRUE(to_bool(f->get(u"Underline")));
  EXPECT_FALSE(to_bool(f->get(u"Italic")));
  EXPECT_EQ(to_long(colour), 255);

  // Only a name: size in whole tenths of a point, styles kept.
  queue_common_dialog_answer(std::u16string(u"Sans"));
  Variant kept = call(u"ShowFont", args);
  EXPECT_DOUBLE_EQ(to_double(kept.as_object()->get(u"Size")), 8.2);
  EXPECT_TRUE(to_bool(kept.as_object()->get(u"Italic")));

  // A value that is not a font is the script's error.
  EXPECT_THROW(call(u"ShowFont", {Variant(int32_t{3})}), ScriptError);
}

TEST_F(CDlgTest, DialogsRaisePermissionDeniedWithoutUI) {
  ui = false;
  Variant colours;
  for (auto name : {u"ShowFolder", u"ShowOpen", u"ShowSave", u"ShowColor", u"ShowPrinter"}) {
    try {
      call(name, {Variant::by_ref(&colours)});
      ADD_FAILURE() << "no error";
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.number, 70);
    }
  }
  EXPECT_TRUE(colours.is_empty());
}

TEST_F(CDlgTest, FileInfoFillsWhatTheObjectHas) {
  namespace fs = std::filesystem;
  fs::path file = fs::temp_directory_path() / ("qz_cdlg_" + std::to_string(::getpid()) + ".txt");
  std::ofstream(file) << "x";
  Ref<InfoTarget> target = make_ref<InfoTarget>();
  Variant r = call(u"GetFileInfo", {Variant(Str(script_path(file.string()))), Variant(int32_t{0}),
                                    Variant(int32_t{0}), Variant(static_cast<Object*>(target.get()))});
  EXPECT_EQ(to_long(r), 1);
  EXPECT_EQ(to_long(target->values[u"dwAttributes"]) & 32, 32);
  std::u16string display = to_u16(target->values[u"szDisplayName"]);
  ASSERT_EQ(display.size(), 260u);
  EXPECT_EQ(display.substr(0, display.find(u'\0')), script_path(file.filename().string()));
  std::u16string type = to_u16(target->values[u"szTypeName"]);
  ASSERT_EQ(type.size(), 80u);
  EXPECT_EQ(type.substr(0, type.find(u'\0')), u"TXT File");
  fs::remove(file);

  EXPECT_EQ(to_long(call(u"GetFileInfo", {Variant(Str(script_path(file.string()))), Variant(int32_t{0}),
                                          Variant(int32_t{0}), Variant(static_cast<Object*>(target.get()))})),
            0);
  // With "use these attributes" nothing needs to exist.
  EXPECT_EQ(to_long(call(u"GetFileInfo", {Variant(u"/nowhere/dir"), Variant(int32_t{16}), Variant(int32_t{0x10}),
                                          Variant::nothing()})),
            1);
}

}  // namespace
}  // namespace qz
