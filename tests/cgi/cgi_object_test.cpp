#include "host/cgi_object.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "com/convert.h"
#include "platform/codepage.h"
#include "platform/output.h"
#include "tests/platform/env_guard.h"

namespace qz {
namespace {

using test_support::EnvGuard;

// Standard input from a pipe holding `data` (closed after it), standard output into a pipe.
class CgiObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(pipe(out_), 0);
    old_out_ = set_stdout_fd(out_[1]);
  }
  void TearDown() override {
    set_stdout_fd(old_out_);
    if (old_in_ >= 0) close(set_stdin_fd(old_in_));
    close(out_[0]);
    close(out_[1]);
  }
  void input(const std::string& data) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], data.data(), data.size()), static_cast<ssize_t>(data.size()));
    close(fds[1]);
    int old = set_stdin_fd(fds[0]);
    if (old_in_ < 0) old_in_ = old; else close(old);
  }
  // A multipart POST (boundary XyZ) of `body` on standard input, read through page 1251.
  void post_multipart(const std::string& body) {
    EnvGuard::set("REQUEST_METHOD", "POST");
    EnvGuard::set("CONTENT_LENGTH", std::to_string(body.size()).c_str());
    EnvGuard::set("CONTENT_TYPE", "multipart/form-data; boundary=XyZ");
    EnvGuard::set("QUAZEL_OUTPUT_CP", "1251");
    input(body);
  }
  std::string output() {
    flush_stdout();
    std::string s(1 << 16, '\0');
    ssize_t n = read(out_[0], s.data(), s.size());
    s.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return s;
  }
  static std::u16string text(Object& o, std::u16string_view member, std::u16string arg) {
    return to_u16(o.call(member, {Variant(arg)}));
  }

  EnvGuard env_{"REQUEST_METHOD", "CONTENT_LENGTH", "CONTENT_TYPE", "QUERY_STRING", "QUAZEL_CGI_MAX_REQUEST",
                "QUAZEL_OUTPUT_CP", "QUAZEL_LANGID"};
  int out_[2] = {-1, -1};
  int old_out_ = -1, old_in_ = -1;
};

// A multipart upload is held once as its part's data; the whole body as text is made only
// when the script reads strInputAll, and a text the script assigns replaces it.
TEST_F(CgiObjectTest, MultipartBodyIsDecodedWholeOnlyWhenAskedFor) {
  const std::string body =
      "--XyZ\r\nContent-Disposition: form-data; name=\"f\"; filename=\"a.bin\"\r\n\r\n"
      "\x01\xC0\xFF" "data\r\n--XyZ--\r\n";
  post_multipart(body);
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  cgi->call(u"InitCGI");
  Ref<Collection> files = cgi->files();
  EXPECT_EQ(to_u16(files->call(u"Item", {Variant(u"File_1_size")})), u"7");
  EXPECT_EQ(to_u16(files->call(u"Item", {Variant(u"File_1_data")})), u"\x01\u0410\u044Fdata");
  EXPECT_EQ(to_u16(cgi->get(u"strInputAll")), decode(1251, body));
  cgi->let(u"strInputAll", Variant(u"mine"));
  EXPECT_EQ(to_u16(cgi->get(u"strInputAll")), u"mine");
}

// A multipart body is held as its parts' text, not as bytes besides. Another InitCGI reads the
// same request again: entries the script removed come back with the same data, and when the
// content type changed in between, the body's bytes are made again, byte for byte, and read
// as the new type says.
TEST_F(CgiObjectTest, AnotherInitCgiReadsTheSplitBodyAgain) {
  const std::string body =
      "--XyZ\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\na&b=\xC0\r\n"
      "--XyZ\r\nContent-Disposition: form-data; name=\"f\"; filename=\"t\"\r\n\r\n\x01\xFF" "cut";
  const std::u16string whole = decode(1251, body);
  post_multipart(body);
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  Ref<Collection> files = cgi->files();
  auto item = [&](std::u16string_view key) { return to_u16(files->item(Variant(key))); };
  auto check_multipart = [&](const char* when) {
    SCOPED_TRACE(when);
    EXPECT_EQ(files->count(), 8u);
    EXPECT_EQ(item(u"File_1_data"), u"a&b=\u0410");
    EXPECT_EQ(item(u"Incomplete"), u"1");
    EXPECT_EQ(item(u"Count"), u"1");
    EXPECT_EQ(cgi->get_input(u"note"), u"a&b=\u0410");
    EXPECT_EQ(cgi->input_all().view(), whole);
  };
  cgi->init_cgi();
  check_multipart("first");
  files->remove(Variant(u"File_1_data"));
  cgi->set_input_all(Str(u"mine"));
  cgi->init_cgi();
  check_multipart("again");

  EnvGuard::set("CONTENT_TYPE", "application/x-www-form-urlencoded");
  cgi->init_cgi();
  EXPECT_EQ(cgi->input_all().view(), whole);
  EXPECT_EQ(cgi->get_input(u"note"), u"");
  EnvGuard::set("CONTENT_TYPE", "multipart/form-data; boundary=XyZ");
  files->remove(Variant(u"File_1_data"));
  cgi->init_cgi();
  check_multipart("from the bytes made again");
}

TEST_F(CgiObjectTest, PostReadsExactlyContentLengthAndStdInGetsTheRest) {
  EnvGuard::set("REQUEST_METHOD", "POST");
  EnvGuard::set("CONTENT_LENGTH", "14");
  EnvGuard::set("CONTENT_TYPE", "application/x-www-form-urlencoded");
  input("a=%C0%FF&b=Two!REST OF INPUT");
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  cgi->call(u"InitCGI");
  EXPECT_EQ(to_u16(cgi->get(u"strInputAll")), u"a=%C0%FF&b=Two");
  EXPECT_EQ(text(*cgi, u"GetInput", u"A"), u"\u00C0\u00FF");
  EXPECT_EQ(text(*cgi, u"GetEV", u" content_length "), u"14");

  // What is left after the body, exactly, with no padding; then the end of the input.
  Variant got;
  EXPECT_EQ(to_long(cgi->call(u"StdIn", {Variant::by_ref(&got)})), 1);
  EXPECT_EQ(to_u16(got), u"!REST OF INPUT");
  EXPECT_EQ(to_long(cgi->call(u"StdIn", {Variant::by_ref(&got)})), 0);
  EXPECT_EQ(to_u16(got), u"");

  // A second InitCGI works on the body already read.
  cgi->call(u"InitCGI");
  EXPECT_EQ(text(*cgi, u"GetInput", u"b"), u"Two");
}

TEST_F(CgiObjectTest, ShortBodyEndsAtTheEndOfInput) {
  EnvGuard::set("REQUEST_METHOD", "POST");
  EnvGuard::set("CONTENT_LENGTH", "1000000");
  input("x=1");
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  cgi->init_cgi();
  EXPECT_EQ(cgi->input_all().view(), u"x=1");
  EXPECT_EQ(cgi->get_input(u"x"), u"1");
}

TEST_F(CgiObjectTest, BodyOverTheLimitIsNotRead) {
  EnvGuard::set("REQUEST_METHOD", "POST");
  EnvGuard::set("CONTENT_LENGTH", "7");
  EnvGuard::set("QUAZEL_CGI_MAX_REQUEST", "6");
  input("a=12345");
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  cgi->init_cgi();
  EXPECT_EQ(cgi->input_all().view(), u"");
  std::u16string rest;
  EXPECT_EQ(cgi->std_in(rest), 1);
  EXPECT_EQ(rest, u"a=12345");
}

TEST_F(CgiObjectTest, MultipartUploadsAreKeyedEntries) {
  std::string file;
  for (int i = 0; i < 256; ++i) file += static_cast<char>(i);
  std::string body = "--zz\r\nContent-Disposition: form-data; name=\"f\"; filename=\"all.bin\"\r\n"
                     "Content-Type: application/octet-stream\r\n\r\n" + file +
                     "\r\n--zz\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhello\r\n--zz--\r\n";
  EnvGuard::set("REQUEST_METHOD", "POST");
  EnvGuard::set("CONTENT_LENGTH", std::to_string(body.size()).c_str());
  EnvGuard::set("CONTENT_TYPE", "multipart/form-data; boundary=zz");
  input(body);
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  cgi->init_cgi();
  cgi->init_cgi();  // no second set of entries, no error for keys already there
  Ref<Collection> files = cgi->files();
  EXPECT_EQ(files->count(), 12u);
  auto item = [&](std::u16string_view key) { return to_u16(files->item(Variant(key))); };
  EXPECT_EQ(item(u"file_1_FILENAME"), u"all.bin");
  EXPECT_EQ(item(u"File_1_size"), u"256");
  EXPECT_EQ(item(u"File_2_filename"), u"");
  EXPECT_EQ(item(u"File_2_data"), u"hello");
  EXPECT_EQ(item(u"Count"), u"2");
  EXPECT_EQ(cgi->get_input(u"note"), u"hello");

  // Written back through a single-byte output page, the upload is byte for byte the same.
  EnvGuard::set("QUAZEL_OUTPUT_CP", "0");
  cgi->call(u"StdOut", {files->item(Variant(u"File_1_data"))});
  EXPECT_EQ(output(), file);
}

TEST_F(CgiObjectTest, StdOutAddsNothingAndNumPipeRedirects) {
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  EXPECT_EQ(to_long(cgi->call(u"StdOut", {Variant(u"caf\u00E9")})), 1);
  EXPECT_EQ(output(), "caf\xC3\xA9");

  int p[2];
  ASSERT_EQ(pipe(p), 0);
  cgi->let(u"numPipe", Variant(int32_t{p[1]}));
  EXPECT_EQ(to_long(cgi->get(u"numPipe")), p[1]);
  EXPECT_EQ(to_long(cgi->call(u"StdOut", {Variant(u"to the pipe")})), 1);
  close(p[1]);
  cgi->let(u"numPipe", Variant(int32_t{p[0]}));
  Variant got;
  EXPECT_EQ(to_long(cgi->call(u"StdIn", {Variant::by_ref(&got)})), 1);
  EXPECT_EQ(to_u16(got), u"to the pipe");
  EXPECT_EQ(to_long(cgi->call(u"StdIn", {Variant::by_ref(&got)})), 0);
  close(p[0]);
}

TEST_F(CgiObjectTest, FilesExistsBeforeAnyRequest) {
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  Variant files = cgi->get(u"Files");
  ASSERT_NE(to_object(files), nullptr);
  EXPECT_EQ(to_long(to_object(files)->get(u"Count")), 0);
}

}  // namespace
}  // namespace qz
