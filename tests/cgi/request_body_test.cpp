#include "host/cgi/request_body.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

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
  BodyBuffer body = read_request_body(20000, std::ref(in));
  EXPECT_EQ(body.view(), std::string(20000, 'x'));
  EXPECT_EQ(in.asked, (std::vector<size_t>{8192, 8192, 3616}));
}

TEST(RequestBody, StopsWhenTheInputEndsEarly) {
  FakeInput in{"short"};
  EXPECT_EQ(read_request_body(100000, std::ref(in)).view(), "short");
  EXPECT_EQ(in.asked.size(), 1u);  // no second read after the input ended
  FakeInput none{""};
  EXPECT_EQ(read_request_body(0, std::ref(none)).view(), "");
  EXPECT_TRUE(none.asked.empty());
}

// The body's buffer holds up to its capacity, and giving back its front releases whole pages
// only: the page with the offset in it stays, and so do the bytes after the offset.
TEST(BodyBuffer, HoldsUpToItsCapacityAndGivesBackWholePagesBehind) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  std::string bytes(3 * page + 20, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 1);
  BodyBuffer buffer(3 * page + 10);
  buffer.append(std::string_view(bytes).substr(0, page - 1));
  buffer.append(std::string_view(bytes).substr(page - 1));
  ASSERT_EQ(buffer.view(), std::string_view(bytes).substr(0, 3 * page + 10));  // the rest is dropped

  auto resident = [&](size_t index) {
    unsigned char in_core = 0;
    auto* start = const_cast<char*>(buffer.view().data()) + index * page;
    EXPECT_EQ(mincore(start, page, &in_core), 0);
    return (in_core & 1) != 0;
  };
  ASSERT_TRUE(resident(0) && resident(1));
  buffer.release_below(2 * page - 1);
  EXPECT_FALSE(resident(0));
  EXPECT_TRUE(resident(1));
  EXPECT_EQ(buffer.view().substr(page), std::string_view(bytes).substr(page, 2 * page + 10));

  BodyBuffer moved = std::move(buffer);
  EXPECT_EQ(moved.view().substr(page), std::string_view(bytes).substr(page, 2 * page + 10));
  EXPECT_TRUE(buffer.view().empty());  // NOLINT: a moved-from buffer is empty
  BodyBuffer none(0);
  none.append("x");
  EXPECT_TRUE(none.view().empty());
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
