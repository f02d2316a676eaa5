// The host program's pieces that need no engine: the command line it builds from its
// arguments, and the CGI object's standard streams.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "host/cgi_object.h"
#include "host/command_text.h"

namespace qz {
namespace {

bool is_file(std::u16string_view p) { return p == u"/tmp/my script.qz" || p == u"/tmp/a.qz"; }

TEST(HostCommandText, ArgumentsJoinLikeACommandLineTail) {
  struct Case {
    std::vector<std::string> args;
    const char16_t* line;
  };
  const Case cases[] = {
      {{}, u""},
      {{"/tmp/a.qz", "x", "y"}, u"/tmp/a.qz x y"},
      {{"/tmp/my script.qz", "arg"}, u"\"/tmp/my script.qz\" arg"},
      {{"/tmp/a.qz", "two words", ""}, u"/tmp/a.qz \"two words\" \"\""},
      {{"Print 1~Print 2 /run"}, u"Print 1~Print 2 /run"},  // inline code is not quoted
      {{"/tmp/a.qz", "\xd0\x9f\xd1\x80\xd0\xb8"}, u"/tmp/a.qz При"},
  };
  for (const Case& c : cases) EXPECT_EQ(command_text(c.args, is_file), c.line);
}

struct Pipe {
  int rd = -1, wr = -1;
  Pipe() {
    int fds[2];
    if (::pipe(fds) == 0) {
      rd = fds[0];
      wr = fds[1];
    }
  }
  ~Pipe() {
    if (rd >= 0) ::close(rd);
    if (wr >= 0) ::close(wr);
  }
};

TEST(HostCgiObject, StdOutWritesTheTextUnchangedToThePipe) {
  Pipe p;
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  cgi->let(u"numPipe", Variant(static_cast<int32_t>(p.wr)));
  Variant r = cgi->call(u"StdOut", {Variant(u"Content-type: text/plain\r\n\r\nok")});
  EXPECT_EQ(r.as_long(), 1);
  char buf[64] = {};
  ssize_t n = ::read(p.rd, buf, sizeof buf);
  EXPECT_EQ(std::string(buf, n > 0 ? n : 0), "Content-type: text/plain\r\n\r\nok");  // nothing added
}

TEST(HostCgiObject, StdInReadsWhatIsWaitingAndReportsTheEnd) {
  Pipe p;
  Ref<CgiObject> cgi = make_ref<CgiObject>();
  cgi->let(u"numPipe", Variant(static_cast<int32_t>(p.rd)));
  ASSERT_EQ(::write(p.wr, "a=1&b=\xC0", 6), 6);
  Variant text;
  std::vector<Variant> args{Variant::by_ref(&text)};
  Variant r = cgi->invoke(cgi->find_member(u"StdIn"), kMethod, Args(args));
  EXPECT_EQ(r.as_long(), 1);
  ASSERT_TRUE(text.is_string());
  EXPECT_EQ(text.str_view().substr(0, 5), u"a=1&b");
  EXPECT_EQ(text.str_view().size(), 6u);  // one character per byte, through the byte table
  ::close(p.wr);
  p.wr = -1;
  r = cgi->invoke(cgi->find_member(u"StdIn"), kMethod, Args(args));
  EXPECT_EQ(r.as_long(), 0);  // end of input
}

}  // namespace
}  // namespace qz
