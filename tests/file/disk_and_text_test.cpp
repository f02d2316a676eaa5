#include <cstdlib>

#include "com/collection.h"
#include "com/convert.h"
#include "file_fixture.h"
#include "services/file/disk_info.h"
#include "services/file/file_object.h"
#include "services/file/path_pieces.h"
#include "services/file/size_text.h"

namespace qz {
namespace {

TEST(SizeText, UnitsAndDecimalsFollowTheThresholds) {
  struct Case {
    double bytes;
    bool russian;
    std::u16string text;
  };
  const Case cases[] = {
      {999, false, u"999 bytes"},           {0, true, u"0 байт"},
      {1000, false, u"0.98 KB"},            {1022976, true, u"999 КБ"},
      {1022977, false, u"0.98 MB"},         {10240, false, u"10.0 KB"},
      {102400, false, u"100 KB"},           {5.0 * 1073741824, false, u"5.00 GB"},
      {100.5 * 1024, false, u"100 KB"},     {101.5 * 1024, false, u"102 KB"},
      {999.0 * 1099511627776.0, true, u"999 ТБ"}, {999.0 * 1099511627776.0 + 1e6, false, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(format_bytes(c.bytes, c.russian), c.text) << c.bytes;
  EXPECT_EQ(hi_lo_to_double(-1, 0), 4294967295.0);
  EXPECT_EQ(hi_lo_to_double(0, 1), 4294967296.0);
  EXPECT_EQ(hi_lo_to_double(-1, 0x1FFFFF), 9007199254740991.0);
}

TEST(PathPieces, SplitAtTheLastSeparator) {
  EXPECT_EQ(path_file_name(u"C:\\a\\archive.tar.gz", u"\\"), u"archive.tar.gz");
  EXPECT_EQ(path_folder(u"C:\\a\\archive.tar.gz", u"\\"), u"C:\\a\\");
  EXPECT_EQ(path_file_name(u"plain", u"\\"), u"plain");
  EXPECT_EQ(path_folder(u"plain", u"\\"), u"");
  EXPECT_EQ(name_without_extension(u"archive.tar.gz"), u"archive.tar");
  EXPECT_EQ(name_extension(u"archive.tar.gz"), u"gz");
  EXPECT_EQ(name_without_extension(u"README"), u"README");
  EXPECT_EQ(name_extension(u"README"), u"");
  // A separator of several characters: the cut comes after the whole separator.
  EXPECT_EQ(path_file_name(u"a::b::c", u"::"), u"c");
  EXPECT_EQ(path_folder(u"a::b::c", u"::"), u"a::b::");
  EXPECT_EQ(path_file_name(u"x -> y -> z", u" -> "), u"z");
  EXPECT_EQ(path_folder(u"x -> y -> z", u" -> "), u"x -> y -> ");
  EXPECT_EQ(path_file_name(u"a/B", u"b"), u"a/B");  // compared exactly
}

TEST(DiskInfo, SerialTextKeepsLeadingZeros) {
  EXPECT_EQ(serial_text(0), u"");
  EXPECT_EQ(serial_text(0x0000BEEF), u"0000-BEEF");
  EXPECT_EQ(serial_text(0xA1B2C3D4), u"A1B2-C3D4");
  EXPECT_EQ(serial_from_uuid("1A2B-3C4D"), 0x1A2B3C4Du);
  EXPECT_EQ(serial_from_uuid("0123456789ABCDEF"), 0x89ABCDEFu);
  EXPECT_EQ(serial_from_uuid("4f3c1e2a-0000-4c6b-9b7e-123456789abc"), 0u);
  EXPECT_EQ(serial_from_uuid("XY12-3456"), 0u);
}

TEST(DiskInfo, AMissingDriveGivesEveryKeyWithFailureValues) {
  ::setenv("QUAZEL_DRIVE_Q", "/nonexistent/quazel/drive/q", 1);
  Ref<Object> f = new_file_object({});
  Variant info = call(*f, u"GetDiskInfo", {Variant(u"Q:\\")});
  auto* c = static_cast<Collection*>(info.as_object());
  ASSERT_EQ(c->count(), 9u);
  EXPECT_EQ(to_double(*c->find(u"Free")), 0);
  EXPECT_EQ(to_double(*c->find(u"Total")), 0);
  EXPECT_EQ(to_long(*c->find(u"Type")), 1);
  EXPECT_EQ(to_u16(*c->find(u"TypeStr")), u"Missing");
  EXPECT_EQ(to_u16(*c->find(u"Serial")), u"");
  EXPECT_EQ(to_long(*c->find(u"SerialLng")), 0);
  EXPECT_EQ(to_long(call(*f, u"GetDiskType", {Variant(u"Q:\\")})), 1);
  Variant drives = call(*f, u"GetLogicalDrives");
  auto* d = static_cast<Collection*>(drives.as_object());
  for (size_t i = 1; i <= d->count(); ++i) EXPECT_NE(to_u16(d->at(i)), u"Q:\\");
  ::unsetenv("QUAZEL_DRIVE_Q");
}

TEST(DiskInfo, TheRootDriveHasSpaceAndAFileSystem) {
  Ref<Object> f = new_file_object({});
  Variant info = call(*f, u"GetDiskInfo", {Variant(u"C:\\")});
  auto* c = static_cast<Collection*>(info.as_object());
  double total = to_double(*c->find(u"Total")), free = to_double(*c->find(u"Free"));
  EXPECT_GT(total, 0);
  EXPECT_EQ(to_double(*c->find(u"Used")), total - free);
  EXPECT_NE(to_u16(*c->find(u"Name")), u"");
  EXPECT_NE(to_long(*c->find(u"Type")), 1);
  Variant drives = call(*f, u"GetLogicalDrives");
  EXPECT_EQ(to_u16(static_cast<Collection*>(drives.as_object())->item(Variant(u"Drive_0"))).substr(1), u":\\");
}

}  // namespace
}  // namespace qz
