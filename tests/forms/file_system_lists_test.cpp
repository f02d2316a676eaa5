// Drive, directory and file list boxes over a small folder made for each test: what they list,
// how their paths and patterns are set, and the events the user's clicks and keys raise.
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <unistd.h>


#include "tests/forms/form_script_fixture.h"
#include "tests/support/error_of.h"

namespace qz {
namespace {

class FileSystemListsTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    root = QDir(dir.path()).canonicalPath();
    QDir d(root);
    for (const char* sub : {"alpha", "Beta", ".hidden"}) d.mkdir(QString::fromLatin1(sub));
    for (const char* name : {"a.txt", "B.TXT", "c.log", "noext", ".dot.txt"}) {
      QFile f(d.filePath(QString::fromLatin1(name)));
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    form->show2(false);
    settle();
  }
  std::u16string root_text() const { return root.toStdU16String(); }
  // The items of a list element, "|"-joined, as the script reads them through List(i).
  std::u16string items(ToolkitWindow* w, int first = 0) {
    std::u16string out;
    int count = to_long(w->get(u"ListCount"));
    for (int i = first; i < count; ++i) {
      if (!out.empty()) out += u"|";
      std::u16string item = to_u16(w->get(u"List", {Variant(static_cast<int16_t>(i))}));
      if (item.starts_with(root_text())) item = u"~" + item.substr(root_text().size());
      out += item;
    }
    return out;
  }
  QListWidget* list_widget(std::u16string_view kind) { return qobject_cast<QListWidget*>(widget(kind, 1)); }

  QTemporaryDir dir;
  QString root;
};

TEST_F(FileSystemListsTest, FileListPatternsAndSwitches) {
  code(u"Sub cFile1_PathChange()\nlog = log & \"path \"\nEnd Sub\n"
       u"Sub cFile1_PatternChange()\nlog = log & \"pattern \"\nEnd Sub\n");
  add({Variant(u"cfile"), Variant(int16_t{1})});
  ToolkitWindow* files = element(u"cfile", 1);
  EXPECT_EQ(files->type_name(), u"FileListBox");
  EXPECT_EQ(to_u16(files->get(u"Path")), QDir::currentPath().toStdU16String());
  EXPECT_EQ(to_u16(files->get(u"Pattern")), u"*.*");

  files->let(u"Path", Variant(root_text()));
  files->let(u"Path", Variant(root_text() + u"/"));  // the same folder: no PathChange
  EXPECT_EQ(log(), u"path ");
  EXPECT_EQ(items(files), u"a.txt|B.TXT|c.log|noext");

  struct Case { std::u16string_view member; Variant value; std::u16string_view expect; };
  const Case cases[] = {
      {u"Pattern", Variant(u"*.txt"), u"a.txt|B.TXT"},             // letters of either case
      {u"Pattern", Variant(u"*.log; b.*"), u"B.TXT|c.log"},        // several patterns
      {u"Pattern", Variant(u"*.*"), u"a.txt|B.TXT|c.log|noext"},   // also names without a dot
      {u"Hidden", Variant(true), u".dot.txt|a.txt|B.TXT|c.log|noext"},
      {u"Normal", Variant(false), u".dot.txt|a.txt|B.TXT|c.log|noext"},  // Archive still shows them
      {u"Archive", Variant(false), u".dot.txt"},                   // hidden files stay shown
      {u"Hidden", Variant(false), u""},
  };
  for (const Case& c : cases) {
    files->let(c.member, c.value);
    EXPECT_EQ(items(files), c.expect) << std::string(c.member.begin(), c.member.end());
  }
  EXPECT_EQ(log(), u"path pattern pattern pattern ");
  files->let(u"Normal", Variant(true));

  // A file this user may not write is listed while ReadOnly is on (the superuser writes all).
  if (::geteuid() != 0) {
    QFile::setPermissions(QDir(root).filePath(u"c.log"_qs), QFile::ReadOwner);
    files->call(u"Refresh");
    files->let(u"ReadOnly", Variant(false));
    EXPECT_EQ(items(files), u"a.txt|B.TXT|noext");
    files->let(u"ReadOnly", Variant(true));
    files->let(u"Normal", Variant(false));
    files->let(u"Archive", Variant(false));
    EXPECT_EQ(items(files), u"c.log");
    files->let(u"Normal", Variant(true));
    QFile::setPermissions(QDir(root).filePath(u"c.log"_qs), QFile::ReadOwner | QFile::WriteOwner);
  }

  // FileName with a folder moves Path there; with a wildcard it is the Pattern; a plain name
  // chooses that file.
  clear_log();
  files->let(u"FileName", Variant(root_text() + u"/alpha/"));
  EXPECT_EQ(to_u16(files->get(u"Path")), root_text() + u"/alpha");
  files->let(u"FileName", Variant(u"../*.log"));
  EXPECT_EQ(to_u16(files->get(u"Path")), root_text());
  EXPECT_EQ(to_u16(files->get(u"Pattern")), u"*.log");
  files->let(u"Pattern", Variant(u"*"));
  files->let(u"FileName", Variant(u"c.log"));
  EXPECT_EQ(to_u16(files->get(u"FileName")), u"c.log");
  EXPECT_EQ(to_long(files->get(u"ListIndex")), 2);
  EXPECT_EQ(log(), u"path path pattern pattern ");

  EXPECT_EQ(error_of([&] { files->let(u"Path", Variant(root_text() + u"/none")); }), 76);
  EXPECT_EQ(error_of([&] { files->let(u"Path", Variant(root_text() + u"/a.txt")); }), 76);
  EXPECT_EQ(error_of([&] { files->get(u"List", {Variant(int16_t{9})}); }), 381);
  EXPECT_EQ(to_u16(files->get(u"Path")), root_text());

  // Refresh reads the folder again.
  QFile extra(QDir(root).filePath(u"d.log"_qs));
  ASSERT_TRUE(extra.open(QIODevice::WriteOnly));
  files->let(u"Pattern", Variant(u"*.log"));
  EXPECT_EQ(items(files), u"c.log|d.log");
  extra.remove();
  files->call(u"Refresh");
  EXPECT_EQ(items(files), u"c.log");
}

TEST_F(FileSystemListsTest, FileListClicksAndKeys) {
  code(u"Sub cFile1_Click()\nlog = log & \"click\" & Form1.cFile(1).FileName & \" \"\nEnd Sub\n"
       u"Sub cFile_Click(Index)\nlog = log & \"all\" & Index & \" \"\nEnd Sub\n"
       u"Sub cFile1_DblClick()\nlog = log & \"dbl \"\nEnd Sub\n"
       u"Sub cFile_DblClick(Index)\nlog = log & \"never \"\nEnd Sub\n"
       u"Sub cFile1_KeyPress(KeyAscii)\nlog = log & \"press\" & KeyAscii & \" \"\nEnd Sub\n"
       u"Sub cFile1_KeyDown(KeyCode, Shift)\nlog = log & \"never \"\nEnd Sub\n");
  add({Variant(u"cfile"), Variant(int16_t{1}), Variant(u"Move 0, 0, 3000, 3000"), Variant(u"Path=" + root_text())});
  settle();
  QListWidget* w = list_widget(u"cfile");
  QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, w->visualItemRect(w->item(1)).center());
  QTest::mouseDClick(w->viewport(), Qt::LeftButton, {}, w->visualItemRect(w->item(1)).center());
  QTest::keyClick(w, Qt::Key_Down);
  QTest::keyClicks(w, "x");
  EXPECT_EQ(log(), u"clickB.TXT all1 dbl click" u"c.log all1 press120 ");
}

TEST_F(FileSystemListsTest, DirectoryListLevelsAndOpening) {
  code(u"Sub cDir1_Change()\nlog = log & \"change[\" & Mid(Form1.cDir(1).Path, Len(\"" +
       root_text() + u"\") + 1) & \"] \"\nEnd Sub\n"
       u"Sub cDir1_Click()\nlog = log & \"click\" & Form1.cDir(1).ListIndex & \" \"\nEnd Sub\n"
       u"Sub cDir1_KeyDown(KeyCode, Shift)\nlog = log & \"key\" & KeyCode & \" \"\nEnd Sub\n");
  add({Variant(u"cdir"), Variant(int16_t{1}), Variant(u"Move 0, 0, 3000, 3000")});
  ToolkitWindow* dirs = element(u"cdir", 1);
  EXPECT_EQ(dirs->type_name(), u"DirListBox");
  dirs->let(u"Path", Variant(root_text()));
  EXPECT_EQ(log(), u"change[] ");

  // Path's own folders from 0 (hidden ones left out), Path itself at -1, its parents below.
  int depth = static_cast<int>(root.count('/'));
  EXPECT_EQ(to_long(dirs->get(u"ListCount")), 2);
  EXPECT_EQ(items(dirs), u"~/alpha|~/Beta");
  EXPECT_EQ(items(dirs, -1), u"~|~/alpha|~/Beta");
  EXPECT_EQ(to_u16(dirs->get(u"List", {Variant(static_cast<int16_t>(-depth - 1))})), u"/");
  EXPECT_EQ(to_long(dirs->get(u"ListIndex")), -1);
  EXPECT_EQ(error_of([&] { dirs->get(u"List", {Variant(static_cast<int16_t>(-depth - 2))}); }), 381);
  EXPECT_EQ(error_of([&] { dirs->get(u"List", {Variant(int16_t{2})}); }), 381);
  EXPECT_EQ(error_of([&] { dirs->let(u"Path", Variant(root_text() + u"/gone")); }), 76);

  // A click chooses, a double click (or Enter) opens.
  clear_log();
  settle();
  QListWidget* w = list_widget(u"cdir");
  QRect alpha = w->visualItemRect(w->item(depth + 1));
  QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, alpha.center());
  QTest::mouseDClick(w->viewport(), Qt::LeftButton, {}, alpha.center());
  EXPECT_EQ(log(), u"click0 change[/alpha] ");
  EXPECT_EQ(to_long(dirs->get(u"ListCount")), 0);
  EXPECT_EQ(to_long(dirs->get(u"ListIndex")), -1);

  clear_log();
  QTest::keyClick(w, Qt::Key_Up);
  QTest::keyClick(w, Qt::Key_Return);
  EXPECT_EQ(log(), u"key38 click-2 key13 change[] ");

  // Relative paths start at Path; the script's ListIndex clicks.
  clear_log();
  dirs->let(u"Path", Variant(u"beta"));  // names match without regard to case
  dirs->let(u"Path", Variant(u".."));
  dirs->let(u"ListIndex", Variant(int16_t{1}));
  EXPECT_EQ(log(), u"change[/Beta] change[] click1 ");
  EXPECT_EQ(error_of([&] { dirs->let(u"ListIndex", Variant(int16_t{2})); }), 380);
}

TEST_F(FileSystemListsTest, DriveListRootsAndChange) {
  code(u"Sub cDrive1_Change()\nlog = log & \"change\" & Form1.cDrive(1).Drive & \" \"\nEnd Sub\n");
  add({Variant(u"cdrive"), Variant(int16_t{1})});
  ToolkitWindow* drives = element(u"cdrive", 1);
  EXPECT_EQ(drives->type_name(), u"DriveListBox");
  EXPECT_EQ(to_u16(drives->get(u"List", {Variant(int16_t{0})})), u"/");
  int count = to_long(drives->get(u"ListCount"));
  EXPECT_GE(count, 1);
  EXPECT_EQ(error_of([&] { drives->get(u"List", {Variant(static_cast<int16_t>(count))}); }), 381);

  // Any path chooses the root of the volume it is on; a drive letter maps as file paths do.
  std::u16string first = to_u16(drives->get(u"Drive"));
  drives->let(u"Drive", Variant(u"c:"));
  drives->let(u"Drive", Variant(u"/"));
  EXPECT_EQ(to_u16(drives->get(u"Drive")), u"/");
  EXPECT_EQ(log(), first == u"/" ? u"" : u"change/ ");
  EXPECT_EQ(error_of([&] { drives->let(u"Drive", Variant(root_text() + u"/none")); }), 68);
  EXPECT_EQ(to_u16(drives->get(u"Drive")), u"/");
}

}  // namespace
}  // namespace qz
