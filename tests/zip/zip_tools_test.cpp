// Archives we write must satisfy the unzip program; archives the zip program makes must read
// back byte for byte.
#include <gtest/gtest.h>

#include "formats/zip/file_io.h"
#include "formats/zip/zip_archive.h"
#include "formats/zip/zip_entry_ops.h"
#include "zip_test_support.h"

namespace qz::ziptest {
namespace {

class ZipTools : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    if (!have("zip") || !have("unzip")) GTEST_SKIP() << "zip and unzip are not installed";
    write("in/text.txt", std::string(5000, 'q') + "end");
    write("in/bytes.bin", all_byte_values());
    write("in/empty.txt", "");
    write("in/sub/deep.txt", "deep");
  }
  ZipArchive load(const std::string& name) {
    std::optional<std::string> bytes = read_file_bytes(path(name));
    ZipArchive z;
    EXPECT_TRUE(bytes);
    if (bytes) EXPECT_EQ(read_zip(*bytes, z), ZipReadResult::Loaded);
    return z;
  }
};

TEST_F(ZipTools, OurArchivesPassUnzipTest) {
  ZipArchive z;
  for (const char* f : {"text.txt", "bytes.bin", "empty.txt"}) zip_add(z, upath(std::string("in/") + f), u"files", u"");
  zip_add(z, upath("in/sub/deep.txt"), u"files\\sub", u"a comment");
  z.comment = "made by the test";
  ASSERT_TRUE(replace_file_bytes(path("ours.zip"), write_zip(z)));
  EXPECT_EQ(sh("unzip -tq ours.zip > unzip_t.txt 2>&1"), 0) << read("unzip_t.txt");
  ASSERT_EQ(sh("unzip -l ours.zip > listing.txt 2>&1"), 0);
  std::string listing = read("listing.txt");
  for (const char* name : {"files/text.txt", "files/bytes.bin", "files/empty.txt", "files/sub/deep.txt"})
    EXPECT_NE(listing.find(name), std::string::npos) << name << "\n" << listing;
  ASSERT_EQ(sh("unzip -q ours.zip -d unpacked"), 0);
  EXPECT_EQ(read("unpacked/files/bytes.bin"), all_byte_values());
  EXPECT_EQ(read("unpacked/files/text.txt"), read("in/text.txt"));
  EXPECT_EQ(read("unpacked/files/empty.txt"), "");

  // With one entry removed the archive is still sound and lacks only that entry.
  z.entries[0].removed = true;
  ASSERT_TRUE(replace_file_bytes(path("fewer.zip"), write_zip(z)));
  EXPECT_EQ(sh("unzip -tq fewer.zip > /dev/null"), 0);
  ASSERT_EQ(sh("unzip -l fewer.zip > fewer.txt"), 0);
  EXPECT_EQ(read("fewer.txt").find("text.txt"), std::string::npos);
}

TEST_F(ZipTools, ArchivesMadeByZipExtractExactly) {
  struct Case { const char* options; const char* file; };
  const Case cases[] = {{"-r -q", "deflated.zip"}, {"-r -q -0", "stored.zip"}};
  for (const Case& c : cases) {
    ASSERT_EQ(sh(std::string("cd in && zip ") + c.options + " ../" + c.file + " ."), 0);
    ZipArchive z = load(c.file);
    ASSERT_GE(z.entries.size(), 5u);  // four files and the folder entry
    std::string out = std::string("out-") + c.file;
    zip_extract(z, u"*.", upath(out), 0, false);
    EXPECT_EQ(read(out + "/bytes.bin"), all_byte_values()) << c.file;
    EXPECT_EQ(read(out + "/text.txt"), read("in/text.txt")) << c.file;
    EXPECT_EQ(read(out + "/sub/deep.txt"), "deep") << c.file;
    EXPECT_TRUE(exists(out + "/empty.txt")) << c.file;
    EXPECT_EQ(read(out + "/empty.txt"), "") << c.file;
    EXPECT_EQ(zip_extract(z, u"bytes.bin", upath(out), 4, false), all_byte_values()) << c.file;
    // Read and written again, the archive is still one unzip accepts.
    std::string again = std::string("again-") + c.file;
    ASSERT_TRUE(replace_file_bytes(path(again), write_zip(z)));
    EXPECT_EQ(sh("unzip -tq " + again + " > /dev/null"), 0) << c.file;
  }
}

// zip writing to a pipe cannot seek back: sizes follow the data in a descriptor.
TEST_F(ZipTools, StreamedArchivesKeepTheirData) {
  ASSERT_EQ(sh("cd in && zip -q - bytes.bin text.txt > ../streamed.zip"), 0);
  ZipArchive z = load("streamed.zip");
  ASSERT_EQ(z.entries.size(), 2u);
  EXPECT_EQ(zip_extract(z, u"bytes.bin", upath("x"), 4, false), all_byte_values());
  EXPECT_EQ(zip_extract(z, u"text.txt", upath("x"), 4, false), read("in/text.txt"));
  ASSERT_TRUE(replace_file_bytes(path("rewritten.zip"), write_zip(z)));
  EXPECT_EQ(sh("unzip -tq rewritten.zip > /dev/null"), 0);
}

}  // namespace
}  // namespace qz::ziptest
