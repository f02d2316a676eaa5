#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/error_of.h"
#include "com/convert.h"
#include "com/error.h"
#include "file_fixture.h"
#include "services/file/file_table.h"

namespace qz {
namespace {

class FileTableTest : public TempTree {
 protected:
  void TearDown() override {
    file_table().close_all();
    TempTree::TearDown();
  }
  FileTable& t = file_table();
};

TEST_F(FileTableTest, LinesEndAtCrLfCrOrLf) {
  write("t.txt", "one\r\ntwo\rthree\nfour");
  t.open(1, os("t.txt"), FileMode::Input);
  EXPECT_EQ(t.read_line(1), "one");
  EXPECT_EQ(t.read_line(1), "two");
  EXPECT_EQ(t.read_line(1), "three");
  EXPECT_FALSE(t.eof(1));
  EXPECT_EQ(t.read_line(1), "four");
  EXPECT_TRUE(t.eof(1));
  EXPECT_EQ(error_of([&] { t.read_line(1); }), 62);
}

TEST_F(FileTableTest, InputFieldsAreTypedAndQuotedTextKeptWhole) {
  write("f.txt", "\"a, b\",42, 3.5 ,#TRUE#,#NULL#,,plain text\r\n70000");
  t.open(2, os("f.txt"), FileMode::Input);
  Variant v = t.read_field(2);
  EXPECT_EQ(v.type(), VT::String);
  EXPECT_EQ(to_u16(v), u"a, b");
  EXPECT_EQ(t.read_field(2).type(), VT::Integer);
  v = t.read_field(2);
  EXPECT_EQ(v.type(), VT::Double);
  EXPECT_EQ(v.as_double(), 3.5);
  EXPECT_EQ(t.read_field(2).type(), VT::Boolean);
  EXPECT_TRUE(t.read_field(2).is_null());
  EXPECT_TRUE(t.read_field(2).is_empty());
  EXPECT_EQ(to_u16(t.read_field(2)), u"plain text");
  EXPECT_EQ(t.read_field(2).type(), VT::Long);
  EXPECT_EQ(error_of([&] { t.read_field(2); }), 62);
}

TEST_F(FileTableTest, ModesCreateTruncateAppendAndRefuseWrongDirection) {
  write("m.txt", "old contents");
  t.open(1, os("m.txt"), FileMode::Output);
  t.write_line(1, "new");
  EXPECT_EQ(error_of([&] { t.read_line(1); }), 54);
  t.close(1);
  EXPECT_EQ(read("m.txt"), "new\r\n");
  t.open(1, os("m.txt"), FileMode::Append);
  t.write_line(1, "more");
  t.close(1);
  EXPECT_EQ(read("m.txt"), "new\r\nmore\r\n");
  t.open(1, os("m.txt"), FileMode::Input);
  EXPECT_EQ(error_of([&] { t.write(1, 1, "x"); }), 54);
  EXPECT_EQ(error_of([&] { t.open(1, os("m.txt"), FileMode::Input); }), 55);
  EXPECT_EQ(error_of([&] { t.open(3, os("missing.txt"), FileMode::Input); }), 53);
  EXPECT_FALSE(exists("missing.txt"));
  EXPECT_EQ(error_of([&] { t.open(512, os("m.txt"), FileMode::Binary); }), 52);
  EXPECT_EQ(error_of([&] { t.open(4, root_, FileMode::Binary); }), 75);
  EXPECT_EQ(error_of([&] { t.length(9); }), 52);
}

TEST_F(FileTableTest, BinaryPositionsAreOneBasedAndReadsPastTheEndGiveZeros) {
  t.open(1, os("b.bin"), FileMode::Binary);
  t.write(1, 3, "xyz");
  EXPECT_EQ(t.length(1), 5);
  EXPECT_EQ(t.position(1), 6);
  EXPECT_EQ(t.location(1), 5);
  EXPECT_EQ(t.read(1, 1, 3), std::string("\0\0x", 3));
  EXPECT_EQ(t.read(1, 0, 4), std::string("yz\0\0", 4));  // at the current position, past the end
  EXPECT_EQ(t.length(1), 5);                              // a read never grows the file
  t.seek(1, 2);
  EXPECT_EQ(t.position(1), 2);
  EXPECT_EQ(error_of([&] { t.seek(1, 0); }), 63);
}

TEST_F(FileTableTest, FreeNumbersSkipOpenOnesAndLocksHoldAgainstOtherProcesses) {
  write("l.bin", "data");
  EXPECT_EQ(t.free_number(), 1);
  t.open(1, os("l.bin"), FileMode::Binary);
  EXPECT_EQ(t.free_number(), 2);
  t.lock(1, true);
  auto other_can_lock = [&] {
    pid_t pid = ::fork();
    if (pid == 0) {
      int fd = ::open(os("l.bin").c_str(), O_RDWR);
      struct flock fl{};
      fl.l_type = F_WRLCK;
      fl.l_whence = SEEK_SET;
      ::_exit(::fcntl(fd, F_SETLK, &fl) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  };
  EXPECT_FALSE(other_can_lock());
  t.lock(1, false);
  EXPECT_TRUE(other_can_lock());
}

}  // namespace
}  // namespace qz
