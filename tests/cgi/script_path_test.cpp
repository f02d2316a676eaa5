#include "host/cgi/script_path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <map>

#include "host/cgi/cgi_start.h"
#include "platform/output.h"

namespace qz::cgi {
namespace {

class ScriptPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/quazel-cgi-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    char real[PATH_MAX];
    ASSERT_NE(realpath(tmpl, real), nullptr);
    dir_ = real;
    a_ = touch("a.qz");
    b_ = touch("b.qz");
    quoted_ = touch("q\"uote.qz");
    ASSERT_EQ(mkdir((dir_ + "/sub.qz").c_str(), 0700), 0);
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  std::string touch(const std::string& name) {
    std::string p = dir_ + "/" + name;
    std::ofstream(p) << "<#Module=Main>\n";
    return p;
  }
  EnvReader env() const {
    return [this](const char* name) -> const char* {
      auto it = vars_.find(name);
      return it == vars_.end() ? nullptr : it->second.c_str();
    };
  }
  std::optional<std::string> pick(std::vector<std::string> args) { return cgi_script_path(args, env()); }

  std::string dir_, a_, b_, quoted_;
  std::map<std::string, std::string> vars_;
};

TEST_F(ScriptPathTest, WhatMakesACgiRun) {
  EXPECT_FALSE(is_cgi_run(env()));
  vars_["REQUEST_URI"] = "";
  EXPECT_FALSE(is_cgi_run(env()));
  vars_["REQUEST_URI"] = "/a.qz";
  EXPECT_TRUE(is_cgi_run(env()));
  vars_.clear();
  vars_["REQUEST_METHOD"] = "GET";
  EXPECT_TRUE(is_cgi_run(env()));
  vars_.clear();
  vars_["GATEWAY_INTERFACE"] = "CGI/1.1";
  EXPECT_TRUE(is_cgi_run(env()));
}

TEST_F(ScriptPathTest, ArgumentThenPathTranslatedThenScriptFilename) {
  vars_["PATH_TRANSLATED"] = b_;
  vars_["SCRIPT_FILENAME"] = a_;
  EXPECT_EQ(pick({a_, "ignored"}), a_);
  EXPECT_EQ(pick({dir_ + "/missing.qz"}), b_);
  EXPECT_EQ(pick({}), b_);
  vars_["PATH_TRANSLATED"] = dir_ + "/missing.qz";
  EXPECT_EQ(pick({}), a_);
  vars_.erase("SCRIPT_FILENAME");
  EXPECT_EQ(pick({}), std::nullopt);
}

TEST_F(ScriptPathTest, ThingsThatAreNeverServed) {
  // A later argument, a folder, a name with a double quote, this program itself.
  EXPECT_EQ(pick({"x/run", a_}), std::nullopt);
  EXPECT_EQ(pick({dir_ + "/sub.qz"}), std::nullopt);
  EXPECT_EQ(pick({quoted_}), std::nullopt);
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = 0;
  vars_["SCRIPT_FILENAME"] = self;
  EXPECT_EQ(pick({}), std::nullopt);
}

TEST_F(ScriptPathTest, QueryWordsHandedOnAsArgumentsAreNotAScript) {
  vars_["SCRIPT_FILENAME"] = b_;
  for (std::string query : {a_, a_ + "+more", std::string("%2F") + a_.substr(1)}) {
    vars_["QUERY_STRING"] = query;
    EXPECT_EQ(pick({a_}), b_) << query;
  }
  vars_["QUERY_STRING"] = "x=" + a_;
  EXPECT_EQ(pick({a_}), a_);
}

TEST_F(ScriptPathTest, CommandLineNamesOnlyTheFile) {
  EXPECT_EQ(cgi_command_line("/srv/www/x/run"), u"\"/srv/www/x/run\"");
  EXPECT_EQ(cgi_command_line("/srv/make a.qz"), u"\"/srv/make a.qz\"");
}

class CgiStartTest : public ScriptPathTest {
 protected:
  void SetUp() override {
    ScriptPathTest::SetUp();
    ASSERT_EQ(pipe(out_), 0);
    old_out_ = set_stdout_fd(out_[1]);
  }
  void TearDown() override {
    set_stdout_fd(old_out_);
    close(out_[0]);
    close(out_[1]);
    ScriptPathTest::TearDown();
  }
  std::string output() {
    std::string s(4096, '\0');
    ssize_t n = read(out_[0], s.data(), s.size());
    s.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return s;
  }
  int out_[2] = {-1, -1};
  int old_out_ = -1;
};

TEST_F(CgiStartTest, Decisions) {
  auto no_embedded = [] { return false; };
  EXPECT_EQ(start_cgi_run({a_}, no_embedded, env()), std::nullopt);  // not a web request

  vars_["REQUEST_METHOD"] = "GET";
  std::optional<CgiStart> s = start_cgi_run({a_, "x/run"}, no_embedded, env());
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->answered_status);
  EXPECT_EQ(s->command, u"\"" + std::u16string(a_.begin(), a_.end()) + u"\"");

  s = start_cgi_run({"Print 1 /run"}, no_embedded, env());
  ASSERT_TRUE(s && s->answered_status);
  EXPECT_EQ(*s->answered_status, 1);
  EXPECT_EQ(output().rfind("Status: 404 Not Found\r\n", 0), 0u);

  // A standalone program serves its own script.
  s = start_cgi_run({}, [] { return true; }, env());
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->answered_status);
  EXPECT_EQ(s->command, u"");

  vars_["REQUEST_METHOD"] = "post";
  vars_["CONTENT_LENGTH"] = "99999999999";
  s = start_cgi_run({a_}, no_embedded, env());
  ASSERT_TRUE(s && s->answered_status);
  EXPECT_EQ(output().rfind("Status: 413", 0), 0u);
}

}  // namespace
}  // namespace qz::cgi
