#include "services/http/http_receive_state.h"

#include <gtest/gtest.h>

#include <vector>

namespace qz {
namespace {

TEST(HttpContentLength, FirstHeaderLineOfThatName) {
  struct Case {
    std::u16string_view header;
    int32_t length;
  } cases[] = {
      {u"HTTP/1.0 200 OK\r\nContent-Length: 11\r", 11},
      {u"HTTP/1.0 200 OK\r\ncontent-length:5\r", 5},
      {u"HTTP/1.0 200 OK\r\nCONTENT-LENGTH: \t 7\r\nContent-Length: 9\r", 7},
      {u"HTTP/1.0 200 OK\r\nX-Content-Length: 11\r", 0},     // another header's name
      {u"HTTP/1.0 200 OK\r\nContent-Length: 2147483647\r", 2147483647},
      {u"HTTP/1.0 200 OK\r\nContent-Length: 2147483648\r", 0},  // does not fit
      {u"HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999999\r", 0},
      {u"HTTP/1.0 200 OK\r\nContent-Length: -4\r", 0},
      {u"HTTP/1.0 200 OK\r\nContent-Length:\r", 0},
      {u"Content-Length: 3", 3},
      {u"", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(parse_content_length(c.header), c.length) << std::string(c.header.begin(), c.header.end());
}

TEST(HttpReceiveState, SplitsAtTheFirstBlankLineAndCompletesByLength) {
  HttpReceiveState s;
  s.add_chunk(u"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n01234");
  EXPECT_EQ(s.header(), u"HTTP/1.0 200 OK\r\nContent-Length: 10\r");
  EXPECT_EQ(s.body(), u"01234");
  EXPECT_EQ(s.content_length(), 10);
  EXPECT_FALSE(s.done());
  s.add_chunk(u"56789\r\n\r\n");
  EXPECT_TRUE(s.done());
  EXPECT_EQ(s.body(), u"0123456789\r\n\r\n");  // later blank lines are body text
  EXPECT_EQ(s.header(), u"HTTP/1.0 200 OK\r\nContent-Length: 10\r");
}

TEST(HttpReceiveState, AHeaderInPiecesWaitsForItsBlankLine) {
  HttpReceiveState s;
  s.add_chunk(u"HTTP/1.0 200 OK\r\nContent-Le");
  EXPECT_FALSE(s.done());
  EXPECT_EQ(s.header(), u"");
  s.add_chunk(u"ngth: 2\r\n\r");
  EXPECT_FALSE(s.done());
  s.add_chunk(u"\nab");
  EXPECT_TRUE(s.done());
  EXPECT_EQ(s.body(), u"ab");
  EXPECT_EQ(s.content_length(), 2);
}

TEST(HttpReceiveState, AHeaderAloneCompletesOnlyWhenItPromisesNoBody) {
  // A header that names a length waits for the body sent after it.
  HttpReceiveState s;
  s.add_chunk(u"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n");
  EXPECT_FALSE(s.done());
  s.add_chunk(u"hello");
  EXPECT_TRUE(s.done());
  EXPECT_EQ(s.body(), u"hello");
  // Content-Length 0, or a status that has no body: the header alone is the reply; later chunks still arrive.
  for (std::u16string_view head : {u"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", u"HTTP/1.1 204 No Content\r\n\r\n",
                                   u"HTTP/1.1 304 Not Modified\r\n\r\n"}) {
    s.reset();
    s.add_chunk(head);
    EXPECT_TRUE(s.done());
    s.add_chunk(u"late");
    EXPECT_EQ(s.body(), u"late");
  }
}

// A body sent after a header that names no length belongs to the reply: it ends when the
// server closes the connection, or at the last chunk of a chunked body.
TEST(HttpReceiveState, WithoutLengthTheBodyEndsAtTheCloseOrTheLastChunk) {
  struct Case {
    const char* what;
    std::vector<std::u16string_view> chunks;
    bool done_before_close;
    std::u16string_view body;
  } cases[] = {
      {"header then body, no length", {u"HTTP/1.0 200 OK\r\nServer: x\r\n\r\n", u"hello", u" world"}, false,
       u"hello world"},
      {"chunked, in pieces",
       {u"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", u"5\r\nhel", u"lo\r\n6;x=1\r\n worl", u"d\r\n0\r\n",
        u"\r\n"},
       true, u"5\r\nhello\r\n6;x=1\r\n world\r\n0\r\n\r\n"},
      {"chunked with a trailer", {u"HTTP/1.1 200 OK\r\ntransfer-encoding: Chunked\r\n\r\n3\r\nabc\r\n0\r\nX-Sum: 1\r\n\r\n"},
       true, u"3\r\nabc\r\n0\r\nX-Sum: 1\r\n\r\n"},
      {"a chunk that holds the text of a last chunk", {u"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n7\r\n0\r\n\r\nab\r\n"},
       false, u"7\r\n0\r\n\r\nab\r\n"},
      {"chunked but not hex: up to the close", {u"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n0\r\n\r\n"}, false,
       u"zz\r\n0\r\n\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HttpReceiveState s;
    for (size_t i = 0; i < c.chunks.size(); ++i) {
      s.add_chunk(c.chunks[i]);
      if (i + 1 < c.chunks.size() || !c.done_before_close) {
        EXPECT_FALSE(s.done()) << "after chunk " << i;
      }
    }
    EXPECT_EQ(s.done(), c.done_before_close);
    s.finish();
    EXPECT_TRUE(s.done());
    EXPECT_EQ(s.body(), c.body);
  }
}

TEST(HttpReceiveState, WithoutLengthOnlyTheMaximumOrTheEndCompletes) {
  HttpReceiveState s;
  s.add_chunk(u"HTTP/1.0 200 OK\r\n\r\nabc");
  EXPECT_FALSE(s.done());
  s.add_chunk(u"def");
  EXPECT_FALSE(s.done());
  s.finish();
  EXPECT_TRUE(s.done());
  EXPECT_EQ(s.body(), u"abcdef");

  s.set_max_size(4);
  s.reset();
  EXPECT_EQ(s.max_size(), 4);  // reset keeps the maximum
  s.add_chunk(u"HTTP/1.0 200 OK\r\n\r\nabc");
  EXPECT_FALSE(s.done());
  s.add_chunk(u"d");
  EXPECT_TRUE(s.done());
}

TEST(HttpReceiveState, TextWithoutABlankLineBecomesTheHeaderAtTheEnd) {
  HttpReceiveState s;
  s.add_chunk(u"+OK ready\r\n");
  EXPECT_FALSE(s.done());
  EXPECT_EQ(s.header(), u"");
  s.finish();
  EXPECT_TRUE(s.done());
  EXPECT_EQ(s.header(), u"+OK ready\r\n");
  EXPECT_EQ(s.body(), u"");
}

TEST(HttpReceiveState, EndlessHeadersAndBodiesAreBounded) {
  HttpReceiveState s;
  std::u16string line(1000, u'h');
  for (size_t total = 0; total <= kMaxHeaderChars; total += line.size()) s.add_chunk(line);
  EXPECT_TRUE(s.done());  // taken as a header, with an empty body
  EXPECT_GT(s.header().size(), kMaxHeaderChars);
  EXPECT_LE(s.header().size(), kMaxHeaderChars + 4 + line.size());

  s.reset();
  s.add_chunk(u"HTTP/1.0 200 OK\r\n\r\nx");
  std::u16string chunk(1 << 20, u'b');
  for (size_t total = 0; total <= kMaxBodyChars; total += chunk.size()) s.add_chunk(chunk);
  EXPECT_TRUE(s.done());
  EXPECT_EQ(s.body().size(), kMaxBodyChars);
}

}  // namespace
}  // namespace qz
