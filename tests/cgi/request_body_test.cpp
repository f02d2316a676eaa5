#include "host/cgi/request_body.h"

#include <gtest/gtest.h>

#include "tests/platform/env_guard.h"

namespace qz::cgi {
namespace {

using test_support::EnvGuard;

// An input that holds `available` bytes and records the sizes asked for.
struct FakeInput {
  explicit FakeInput(std::string d) : data(std::move(d)) {}
  std::string data;
  size_t pos = 0;
  std::vector<size_t> asked;
  std::string operator()(size_t n) {
    asked.push_back(n);
    std::string out = data.substr(pos, n);
    pos += out.size();
    return out;
  }
};

TEST(RequestBody, ReadsAtMostTheLengthInChunks) {
  FakeInput in{std::string(20000, 'x') + "EXTRA"};
  std::string body = read_request_body(20000, std::ref(in));
  EXPECT_EQ(body, std::string(20000, 'x'));
  EXPECT_EQ(in.asked, (std::vector<size_t>{8192, 8192, 3616}));
}

TEST(RequestBody, StopsWhenTheInputEndsEarly) {
  FakeInput in{"short"};
  EXPECT_EQ(read_request_body(100000, std::ref(in)), "short");
  EXPECT_EQ(in.asked.size(), 1u);  // no second read after the input ended
  FakeInput none{""};
  EXPECT_EQ(read_request_body(0, std::ref(none)), "");
  EXPECT_TRUE(none.asked.empty());
}

TEST(RequestBody, ContentLength) {
  struct Case { std::u16string text; uint64_t n; };
  const Case cases[] = {
      {u"123", 123}, {u" 42abc", 42}, {u"+7", 7}, {u"", 0}, {u"-5", 0}, {u"abc", 0},
      {u"4294967296", 4294967296ull}, {u"99999999999999999999999", UINT64_MAX},
  };
  for (const Case& c : cases) EXPECT_EQ(parse_content_length(c.text), c.n);
}

TEST(RequestBody, MaximumFromTheEnvironment) {
  EnvGuard env{"QUAZEL_CGI_MAX_REQUEST"};
  EXPECT_EQ(max_request_size(), kDefaultMaxRequest);
  struct Case { const char* value; uint64_t n; };
  const Case cases[] = {{"1000", 1000}, {"2k", 2048}, {"3M", 3u << 20}, {"1G", 1u << 30},
                        {"12x", kDefaultMaxRequest}, {"", kDefaultMaxRequest}, {"5kb", kDefaultMaxRequest}};
  for (const Case& c : cases) {
    EnvGuard::set("QUAZEL_CGI_MAX_REQUEST", c.value);
    EXPECT_EQ(max_request_size(), c.n) << c.value;
  }
}

}  // namespace
}  // namespace qz::cgi
