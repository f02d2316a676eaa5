// The host program's pieces that need no engine: the command line it builds from its
// arguments, and the CGI object's standard streams.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dlfcn.h>

#include <cstdio>

#include <set>

#include "host/cgi_object.h"
#include "host/command_text.h"
#include "host/engine_choice.h"
#include "host/engine_loader.h"
#include "host/startup_check.h"
#include "platform/path.h"
#include "../platform/env_guard.h"

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

TEST(HostEngineLoader, LooksInTheVariableBesideTheProgramTheRegisteredPathThenTheLibrarySearch) {
  test_support::EnvGuard env({"QUAZEL_ENGINE", "XDG_CONFIG_HOME"});
  TempFile reg_dir_probe = create_temp_file({}, "qz-xdg-");
  ::close(reg_dir_probe.fd);
  ::unlink(reg_dir_probe.path.c_str());
  const std::string xdg = reg_dir_probe.path;
  ASSERT_EQ(::mkdir(xdg.c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((xdg + "/quazel").c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((xdg + "/quazel/progids").c_str(), 0700), 0);
  const std::string reg = xdg + "/quazel/progids/Tolvex.Quazel";
  {
    FILE* f = std::fopen(reg.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("/opt/quazel/libquazel.so\n", f);
    std::fclose(f);
  }
  test_support::EnvGuard::set("XDG_CONFIG_HOME", xdg.c_str());
  test_support::EnvGuard::set("QUAZEL_ENGINE", "/elsewhere/libquazel.so");
  std::vector<EngineCandidate> c = engine_library_candidates();
  ASSERT_EQ(c.size(), 5u);
  EXPECT_EQ(c[0].source, EngineSource::Variable);
  EXPECT_EQ(c[0].path, "/elsewhere/libquazel.so");
  EXPECT_EQ(c[1].source, EngineSource::Beside);
  EXPECT_EQ(c[1].path, executable_folder() + "libquazel.so");
  EXPECT_EQ(c[2].source, EngineSource::Registered);
  EXPECT_EQ(c[2].path, "/opt/quazel/libquazel.so");
  // An install under any prefix: the library folder beside the program's.
  EXPECT_EQ(c[3].source, EngineSource::Prefix);
  EXPECT_EQ(c[3].path, executable_folder() + "../lib/libquazel.so");
  // A bare name: the library search, as for any installed library.
  EXPECT_EQ(c[4].source, EngineSource::Installed);
  EXPECT_EQ(c[4].path, "libquazel.so");

  // None of them holds an engine (unless one is installed on this machine): the check says
  // why instead of failing silently.
  if (void* found = ::dlopen("libquazel.so", RTLD_LAZY)) {
    ::dlclose(found);
  } else {
    std::unique_ptr<EventLoop> loop = make_poll_event_loop();
    EngineChoice none = choose_engine(*loop, 1033);
    EXPECT_FALSE(none.library);
    EXPECT_NE(none.message.find(u"/elsewhere/libquazel.so: no such file"), std::u16string::npos);
    EXPECT_NE(none.message.find(u"is missing"), std::u16string::npos);
  }
  ::unlink(reg.c_str());
  ::rmdir((xdg + "/quazel/progids").c_str());
  ::rmdir((xdg + "/quazel").c_str());
  ::rmdir(xdg.c_str());
}

#ifdef QZ_TEST_ENGINE_LIBRARY
// The start-up check reads the version the library states instead of running a script for it:
// the two must agree, or a host would accept an engine whose scripts see another version.
TEST(HostStartupCheck, TheStatedVersionIsTheOneScriptsSee) {
  std::unique_ptr<EventLoop> loop = make_poll_event_loop();
  std::string error;
  std::optional<EngineLibrary> library = open_engine_library(QZ_TEST_ENGINE_LIBRARY, *loop, error);
  ASSERT_TRUE(library) << error;
  ASSERT_NE(library->version, nullptr);
  Ref<Object> engine = create_engine(*library, error);
  ASSERT_TRUE(engine) << error;
  std::u16string asked = probe_engine_version(*engine);
  EXPECT_EQ(std::u16string(library->version()), asked);
  EXPECT_EQ(asked, host_version_text());  // this build's host accepts this build's engine
}
#endif

}  // namespace
}  // namespace qz
