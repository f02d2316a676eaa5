#include "host/cgi/request_input.h"

#include <gtest/gtest.h>

#include "host/cgi/name_value_lookup.h"
#include "platform/codepage.h"

namespace qz::cgi {
namespace {

constexpr int k1252 = 1252;

using Env = std::vector<std::u16string>;

std::u16string entry(const RequestInput& in, std::u16string_view key) {
  for (const auto& [k, v] : in.files)
    if (k == key) return v.u16();
  return u"<absent>";
}

TEST(RequestInput, GetTakesTheQueryString) {
  RequestInput in = interpret_request({u"REQUEST_METHOD=GET", u"QUERY_STRING=a=1&a=2&b=x%20y&c"}, "ignored", k1252);
  EXPECT_EQ(in.input_all.view(), u"a=1&a=2&b=x%20y&c");
  EXPECT_EQ(in.pairs, (std::vector<std::u16string>{u"a=1", u"a=2", u"b=x y", u"c"}));
  EXPECT_EQ(lookup_value(in.pairs, u"a"), u"1");
  EXPECT_TRUE(in.files.empty());
}

TEST(RequestInput, MethodDecidesWhatIsRead) {
  struct Case { Env env; std::string body; std::u16string input_all; size_t pairs; };
  const Case cases[] = {
      {{u"REQUEST_METHOD=post", u"QUERY_STRING=q=1"}, "p=2&r=3", u"p=2&r=3", 2},  // POST ignores the query
      {{u"REQUEST_METHOD=HEAD", u"QUERY_STRING=q=1"}, "", u"", 0},
      {{u"REQUEST_METHOD=PUT"}, "p=2", u"", 0},
      {{u"QUERY_STRING=q=1"}, "", u"", 0},
      {{u"REQUEST_METHOD=POST"}, "", u"", 0},
  };
  for (const Case& c : cases) {
    RequestInput in = interpret_request(c.env, c.body, k1252);
    EXPECT_EQ(in.input_all.view(), c.input_all);
    EXPECT_EQ(in.pairs.size(), c.pairs);
  }
}

TEST(RequestInput, PostedBytesSurviveAsOneCharacterEach) {
  std::string body = "bin=";
  for (int i = 0; i < 256; ++i) body += static_cast<char>(i);
  RequestInput in = interpret_request({u"REQUEST_METHOD=POST"}, body, k1252);
  ASSERT_EQ(in.input_all.size(), body.size());
  EXPECT_EQ(in.input_all[4 + 0x81], u'\u0081');
  EXPECT_EQ(in.input_all[4 + 0x80], u'\u20AC');
}

TEST(RequestInput, MultipartEntriesInOrder) {
  std::string body =
      "----AaB03x\r\nContent-Disposition: form-data; name=\"up\"; filename=\"a.bin\"\r\nContent-Type: image/png\r\n\r\n"
      "\x89PNG\r\n\x1a\n\r\n"
      "----AaB03x\r\nContent-Disposition: form-data; name=\"note\"\r\n\r\nhi & bye\r\n"
      "----AaB03x--\r\n";
  RequestInput in = interpret_request(
      {u"REQUEST_METHOD=POST", u"CONTENT_TYPE=multipart/form-data; boundary=--AaB03x"}, body, k1252);
  std::vector<std::u16string> keys;
  for (const auto& kv : in.files) keys.push_back(kv.first);
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"ID", u"File_1_id", u"File_1_filename", u"File_1_type", u"File_1_data",
                                               u"File_1_size", u"File_2_id", u"File_2_filename", u"File_2_type",
                                               u"File_2_data", u"File_2_size", u"Count"}));
  EXPECT_EQ(entry(in, u"ID"), u"AaB03x");
  EXPECT_EQ(entry(in, u"File_1_type"), u"image/png");
  EXPECT_EQ(entry(in, u"File_1_data"), u"\u2030PNG\r\n\x1a\n");
  EXPECT_EQ(entry(in, u"File_1_size"), u"8");
  EXPECT_EQ(entry(in, u"File_2_filename"), u"");
  EXPECT_EQ(entry(in, u"File_2_type"), u"");
  EXPECT_EQ(entry(in, u"Count"), u"2");
  // The whole text is made from the body only when asked for; the plain field is a pair and
  // the body is not split at "&".
  EXPECT_TRUE(in.multipart_body);
  EXPECT_TRUE(in.input_all.empty());
  EXPECT_EQ(in.pairs, (std::vector<std::u16string>{u"note=hi & bye"}));
}

// A body cut before its closing delimiter says so; its finished parts are all there.
TEST(RequestInput, MultipartWithoutItsClosingDelimiterIsMarkedIncomplete) {
  const std::string first = "--b\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n";
  const std::string second = "--b\r\nContent-Disposition: form-data; name=\"f\"; filename=\"x\"\r\n\r\npartial";
  struct Case {
    std::string body;
    bool incomplete;
    const char16_t* count;
  } cases[] = {
      {first + second + "\r\n--b--\r\n", false, u"2"},
      {first + second, true, u"1"},
      {first + second + "\r\n--b", true, u"1"},
      {first, true, u"0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    RequestInput in = interpret_request({u"REQUEST_METHOD=POST", u"CONTENT_TYPE=multipart/form-data; boundary=b"},
                                        c.body, k1252);
    EXPECT_EQ(entry(in, u"Incomplete"), c.incomplete ? u"1" : u"<absent>");
    EXPECT_EQ(entry(in, u"Count"), c.count);
    EXPECT_EQ(in.files.back().first, u"Count");
  }
}

// A multipart body is held as its parts' text and the bytes between them. Made whole again it
// must be the body exactly, as bytes and as text, through every single-byte page; and a part's
// data entry must be the very text its piece holds, not a second copy.
TEST(RequestInput, MultipartBodyHeldInPiecesGivesBackItsBytes) {
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  const std::u16string with_boundary = u"CONTENT_TYPE=multipart/form-data; boundary=b";
  struct Case {
    const char* what;
    std::u16string content_type;
    std::string body;
  } cases[] = {
      {"binary part between a preamble and an epilogue", with_boundary,
       "pre\r\n--b\r\nContent-Disposition: form-data; name=\"f\"; filename=\"x.bin\"\r\n\r\n" + binary +
           "\r\n--b--\r\nepilogue"},
      {"empty parts, one without headers", with_boundary,
       "--b\r\nContent-Disposition: form-data; name=\"e\"\r\n\r\n\r\n--b\r\n\r\n\r\n--b--\r\n"},
      {"no closing delimiter", with_boundary,
       "--b\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n" + binary +
           "\r\n--b\r\nContent-Disposition: form-data; name=\"f\"; filename=\"x\"\r\n\r\n" + binary},
      {"no delimiter at all", with_boundary, binary},
      {"empty body", with_boundary, ""},
      {"no boundary", u"CONTENT_TYPE=multipart/form-data", "--b\r\n\r\n" + binary + "\r\n--b--"},
  };
  for (const Case& c : cases) {
    for (int page : {1251, 1252, 866, 20866}) {
      SCOPED_TRACE(std::string(c.what) + ", page " + std::to_string(page));
      RequestInput in = interpret_request({u"REQUEST_METHOD=POST", c.content_type}, c.body, page);
      ASSERT_TRUE(in.multipart_body);
      EXPECT_EQ(in.multipart_body->bytes(), c.body);
      EXPECT_EQ(in.multipart_body->text().view(), decode(page, c.body));
      for (const auto& [key, value] : in.files) {
        if (key.size() < 5 || key.substr(key.size() - 5) != u"_data" || value.empty()) continue;
        bool shared = false;
        for (const auto& piece : in.multipart_body->pieces)
          shared = shared || (std::holds_alternative<Str>(piece) && std::get<Str>(piece).rep() == value.rep());
        EXPECT_TRUE(shared) << std::string(key.begin(), key.end());
      }
    }
  }
}

// The body may go as its parts become text. The offsets handed out never go back and end at
// the body's end; a large part goes in several steps, not all at once; and nothing before an
// offset is read again (here it is wiped at once).
TEST(RequestInput, MultipartBodyIsReleasedFrontToBack) {
  std::string data((3 << 20) + 123, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 2654435761u) >> 13);
  const std::string body = "--b\r\nContent-Disposition: form-data; name=\"f\"; filename=\"big\"\r\n\r\n" + data +
                           "\r\n--b\r\nContent-Disposition: form-data; name=\"n\"\r\n\r\nsmall\r\n--b--\r\nend";
  std::string held = body;
  std::vector<size_t> offsets;
  auto release = [&](size_t offset) {
    EXPECT_TRUE(offsets.empty() || offset >= offsets.back());
    ASSERT_LE(offset, held.size());
    std::fill(held.begin(), held.begin() + static_cast<ptrdiff_t>(offset), '\0');
    offsets.push_back(offset);
  };
  RequestInput in = interpret_request({u"REQUEST_METHOD=POST", u"CONTENT_TYPE=multipart/form-data; boundary=b"}, held,
                                      k1252, release);
  EXPECT_GT(offsets.size(), 3u);
  EXPECT_EQ(offsets.back(), body.size());
  EXPECT_EQ(entry(in, u"File_1_data"), decode(k1252, data));
  EXPECT_EQ(entry(in, u"File_2_data"), u"small");
  EXPECT_EQ(lookup_value(in.pairs, u"n"), u"small");
  ASSERT_TRUE(in.multipart_body);
  EXPECT_EQ(in.multipart_body->bytes(), body);
}

TEST(RequestInput, MultipartWithoutBoundaryCountsNothing) {
  RequestInput in = interpret_request({u"REQUEST_METHOD=POST", u"CONTENT_TYPE=multipart/form-data"},
                                      "--x\r\n\r\nq\r\n--x--", k1252);
  ASSERT_EQ(in.files.size(), 1u);
  EXPECT_EQ(entry(in, u"Count"), u"0");
  EXPECT_TRUE(in.pairs.empty());
}

}  // namespace
}  // namespace qz::cgi
