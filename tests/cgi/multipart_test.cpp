#include "host/cgi/multipart.h"

#include <gtest/gtest.h>

#include "host/cgi/header_value.h"

namespace qz::cgi {
namespace {

std::string all_bytes() {
  std::string s;
  for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
  return s;
}

// A body as a browser or curl sends it.
struct Part {
  std::string headers;  // header lines, each ending in CRLF
  std::string data;
};
std::string make_body(const std::string& boundary, const std::vector<Part>& parts, bool close = true) {
  std::string body;
  for (const Part& p : parts) body += "--" + boundary + "\r\n" + p.headers + "\r\n" + p.data + "\r\n";
  if (close) body += "--" + boundary + "--\r\n";
  return body;
}

TEST(MultipartBoundary, FromContentType) {
  struct Case { std::string type; std::optional<std::string> boundary; };
  const Case cases[] = {
      {"multipart/form-data; boundary=----abc123", "----abc123"},
      {"multipart/form-data; BOUNDARY=\"a b:c\"", "a b:c"},             // quoted, with blanks
      {"multipart/form-data;charset=utf-8;boundary=xyz ", "xyz"},
      {"multipart/form-data", std::nullopt},
      {"multipart/form-data; boundary=", std::nullopt},
      {"multipart/form-data; boundary=" + std::string(71, 'a'), std::nullopt},
      {"multipart/form-data; boundary=" + std::string(70, 'a'), std::string(70, 'a')},
  };
  for (const Case& c : cases) EXPECT_EQ(multipart_boundary(c.type), c.boundary) << c.type;
  EXPECT_TRUE(is_multipart_form_data("Multipart/Form-Data ; boundary=x"));
  EXPECT_FALSE(is_multipart_form_data("multipart/form-data-not"));
  EXPECT_FALSE(is_multipart_form_data("application/x-www-form-urlencoded"));
}

TEST(HeaderValue, Parameters) {
  HeaderValue v = parse_header_value(" form-data ; name=\"a\\\"b\"; filename=\"C:\\dir\\x.txt\"; flag; size=12 ");
  EXPECT_EQ(v.value, "form-data");
  EXPECT_EQ(v.param("name"), "a\"b");
  EXPECT_EQ(v.param("filename"), "C:\\dir\\x.txt");  // backslashes other than \" are literal
  EXPECT_EQ(v.param("size"), "12");
  EXPECT_EQ(v.param("flag"), std::nullopt);
  EXPECT_EQ(parse_header_value("x; name=\"unclosed").param("name"), "unclosed");
  EXPECT_EQ(parse_header_value("x; name=\"a;b\"; z=1").param("name"), "a;b");
}

TEST(Multipart, FilesAndPlainFieldsEachWithTheirOwnHeaders) {
  const std::string b = "------------------------d74496d66958873e";
  std::string body = make_body(
      b, {
             {"Content-Disposition: form-data; name=\"bin\"; filename=\"all.bin\"\r\n"
              "Content-Type: application/octet-stream\r\n",
              all_bytes()},
             // Header order and letter case are free.
             {"content-type: text/plain; charset=utf-8\r\nCONTENT-DISPOSITION: form-data; filename=\"t.txt\"; name=\"txt\"\r\n",
              "line 1\r\nline 2\r\n"},
             {"Content-Disposition: form-data; name=\"plain\"\r\n", "value"},
             {"Content-Disposition: form-data; name=\"empty\"; filename=\"\"\r\nContent-Type: application/octet-stream\r\n", ""},
         });
  MultipartForm form = parse_multipart(body, b);
  EXPECT_TRUE(form.complete);
  ASSERT_EQ(form.parts.size(), 4u);
  EXPECT_EQ(form.parts[0].name, "bin");
  EXPECT_EQ(form.parts[0].filename, "all.bin");
  EXPECT_EQ(form.parts[0].content_type, "application/octet-stream");
  EXPECT_EQ(form.parts[0].data, all_bytes());
  EXPECT_EQ(form.parts[1].name, "txt");
  EXPECT_EQ(form.parts[1].filename, "t.txt");
  EXPECT_EQ(form.parts[1].content_type, "text/plain; charset=utf-8");
  EXPECT_EQ(form.parts[1].data, "line 1\r\nline 2\r\n");
  // The plain field after two file parts has no filename and no type of its own.
  EXPECT_EQ(form.parts[2].name, "plain");
  EXPECT_FALSE(form.parts[2].has_filename);
  EXPECT_EQ(form.parts[2].filename, "");
  EXPECT_EQ(form.parts[2].content_type, "");
  EXPECT_EQ(form.parts[2].data, "value");
  EXPECT_TRUE(form.parts[3].has_filename);
  EXPECT_EQ(form.parts[3].data, "");
}

TEST(Multipart, ContentThatLooksLikeADelimiterIsContent) {
  const std::string b = "XyZ";
  // The boundary text followed by anything but blanks + CRLF or "--" is no delimiter.
  const std::string data = "--XyZ at the start\r\n--XyZabc\r\n--XyZz\r\n--XyZ-x\r\n--XyZ\t!";
  std::string body = "preamble --XyZ\r\n\r\n" +
                     make_body(b, {{"Content-Disposition: form-data; name=\"f\"; filename=\"x\"\r\n", data}}) +
                     "epilogue\r\n--XyZ\r\n";
  MultipartForm form = parse_multipart(body, b);
  ASSERT_EQ(form.parts.size(), 1u);
  EXPECT_EQ(form.parts[0].data, data);
  EXPECT_TRUE(form.complete);
}

TEST(Multipart, DelimiterLinesMayCarryTrailingBlanks) {
  std::string body = "--b \t\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--b  \r\n"
                     "Content-Disposition: form-data; name=\"c\"\r\n\r\n2\r\n--b--";
  MultipartForm form = parse_multipart(body, "b");
  ASSERT_EQ(form.parts.size(), 2u);
  EXPECT_EQ(form.parts[0].data, "1");
  EXPECT_EQ(form.parts[1].data, "2");
  EXPECT_TRUE(form.complete);
}

TEST(Multipart, CutOffBodiesKeepOnlyFinishedParts) {
  const std::string b = "bnd";
  std::string body = make_body(b, {{"Content-Disposition: form-data; name=\"a\"\r\n", "1"},
                                   {"Content-Disposition: form-data; name=\"b\"; filename=\"f\"\r\n", "partial data"}});
  for (size_t cut : {body.size() - 9, body.size() - 20, size_t{10}, size_t{0}}) {
    MultipartForm form = parse_multipart(std::string_view(body).substr(0, cut), b);
    EXPECT_FALSE(form.complete) << cut;
    EXPECT_LE(form.parts.size(), 1u) << cut;
    for (const MultipartPart& p : form.parts) EXPECT_EQ(p.data, "1");
  }
}

TEST(Multipart, MalformedBodiesGiveNoParts) {
  const char* bodies[] = {"", "no delimiter at all", "--bx\r\n", "--b", "--b\r\n\r\n", "\r\n--b"};
  for (const char* body : bodies) {
    MultipartForm form = parse_multipart(body, "b");
    EXPECT_TRUE(form.parts.empty()) << body;
  }
  EXPECT_TRUE(parse_multipart("--b\r\n\r\nx\r\n--b--", "").parts.empty());
}

TEST(Multipart, PartWithoutHeadersOrBlankLine) {
  // No headers: the content starts right after the delimiter line's own CRLF and an empty line.
  MultipartForm form = parse_multipart("--b\r\n\r\nbare\r\n--b\r\nno blank line\r\n--b--", "b");
  ASSERT_EQ(form.parts.size(), 2u);
  EXPECT_EQ(form.parts[0].data, "bare");
  EXPECT_EQ(form.parts[0].name, "");
  EXPECT_EQ(form.parts[1].data, "");
}

}  // namespace
}  // namespace qz::cgi
