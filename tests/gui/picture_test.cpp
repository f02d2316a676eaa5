// Picture objects: every picture format from files the test writes itself, the same from bytes,
// bad and hostile data, the handle table and the bitmap files SavePicture writes.
#include "tests/support/error_of.h"
#include "platform/qt/picture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "platform/path.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> file_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put_bytes(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::u16string u16(const fs::path& p) { return script_path(p.string()); }

// A 7 x 5 picture: red, with a blue top-left pixel and a green bottom-right one.
QImage sample() {
  QImage img(7, 5, QImage::Format_RGB32);
  img.fill(qRgb(255, 0, 0));
  img.setPixel(0, 0, qRgb(0, 0, 255));
  img.setPixel(6, 4, qRgb(0, 255, 0));
  return img;
}

// The sample as a GIF file, for where Qt has no GIF writer: a 4-colour palette and codes that
// are all literals, with a clear code after every two so the code width stays at 3 bits.
std::vector<uint8_t> sample_gif() {
  QImage img = sample();
  const QRgb palette[4] = {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0), qRgb(0, 0, 0)};
  std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a', 7, 0, 5, 0, 0x81, 0, 0};  // global table of 4
  for (QRgb c : palette) out.insert(out.end(), {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))});
  out.insert(out.end(), {0x2C, 0, 0, 0, 0, 7, 0, 5, 0, 0, 2});  // image descriptor, minimum code size 2
  std::vector<int> codes;
  int literals = 0;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      if (literals++ % 2 == 0) codes.push_back(4);  // clear
      codes.push_back(static_cast<int>(std::find(palette, palette + 4, img.pixel(x, y)) - palette));
    }
  codes.push_back(5);  // end
  std::vector<uint8_t> data;
  uint32_t bits = 0;
  int count = 0;
  for (int c : codes) {
    bits |= static_cast<uint32_t>(c) << count;
    count += 3;
    while (count >= 8) {
      data.push_back(static_cast<uint8_t>(bits));
      bits >>= 8;
      count -= 8;
    }
  }
  if (count) data.push_back(static_cast<uint8_t>(bits));
  out.push_back(static_cast<uint8_t>(data.size()));  // one sub-block (< 256 bytes)
  out.insert(out.end(), data.begin(), data.end());
  out.insert(out.end(), {0, 0x3B});
  return out;
}

struct Format {
  const char* suffix;
  Picture::Kind kind;
  bool exact;  // lossless: pixels compare exactly
};

class PictureFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quazel_picture_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes the sample in a format; false when Qt has no writer for it here.
  bool write(const Format& f) {
    fs::path p = path(f.suffix);
    if (std::string(f.suffix) == "cur") {
      // A cursor file is an icon file with resource type 2 and the hot spot in the entry.
      if (!write({"ico", Picture::kIcon, true})) return false;
      std::vector<uint8_t> b = file_bytes(path("ico"));
      b[2] = 2;
      b[6 + 4] = 3;  // hot spot x
      b[6 + 6] = 2;  // hot spot y
      put_bytes(p, b);
      return true;
    }
    if (std::string(f.suffix) == "gif" && !QImageWriter::supportedImageFormats().contains("gif")) {
      put_bytes(p, sample_gif());
      return true;
    }
    if (!QImageWriter::supportedImageFormats().contains(QByteArray(f.suffix))) return false;
    return sample().save(QString::fromStdString(p.string()), f.suffix);
  }
  fs::path path(const std::string& suffix) { return dir_ / ("sample." + suffix); }

  static void expect_sample(const Picture& p, const Format& f) {
    EXPECT_EQ(p.kind(), f.kind);
    EXPECT_EQ(p.image().size(), QSize(7, 5));
    EXPECT_NE(p.handle(), 0);
    EXPECT_EQ(Picture::from_handle(p.handle()), &p);
    if (!f.exact) return;
    EXPECT_EQ(p.image().pixel(0, 0) | 0xFF000000u, qRgb(0, 0, 255));
    EXPECT_EQ(p.image().pixel(3, 2) | 0xFF000000u, qRgb(255, 0, 0));
    EXPECT_EQ(p.image().pixel(6, 4) | 0xFF000000u, qRgb(0, 255, 0));
  }

  fs::path dir_;
};

const Format kFormats[] = {{"bmp", Picture::kBitmap, true}, {"png", Picture::kBitmap, true},
                           {"jpg", Picture::kBitmap, false}, {"gif", Picture::kBitmap, true},
                           {"ico", Picture::kIcon, true},    {"cur", Picture::kIcon, true}};

TEST_F(PictureFiles, EveryFormatFromFileAndFromBytes) {
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.suffix);
    if (!write(f)) {
      std::printf("no writer for %s here: not tested\n", f.suffix);
      continue;
    }
    Ref<Picture> p = read_picture_file(u16(path(f.suffix)));
    expect_sample(*p, f);
    std::vector<uint8_t> bytes = file_bytes(path(f.suffix));
    Ref<Picture> q = read_picture_bytes(bytes.data(), bytes.size());
    expect_sample(*q, f);
    EXPECT_NE(p->handle(), q->handle());
  }
}

TEST_F(PictureFiles, ScriptMembers) {
  ASSERT_TRUE(write(kFormats[1]));
  Ref<Picture> p = read_picture_file(u16(path("png")));
  // HIMETRIC at 96 pixels an inch: 7 px = 185.2, 5 px = 132.3.
  EXPECT_EQ(to_long(p->get(u"Width")), 185);
  EXPECT_EQ(to_long(p->get(u"height")), 132);
  EXPECT_EQ(to_long(p->get(u"Type")), 1);
  EXPECT_EQ(to_long(p->get(u"hPal")), 0);
  EXPECT_EQ(to_long(p->get(u"Handle")), p->handle());
  EXPECT_EQ(to_long(p->invoke(kDispValue, kGet, Args())), p->handle());  // the default member
  EXPECT_EQ(p->type_name(), u"Picture");
  EXPECT_EQ(pixels_to_himetric(96), 2540);
  EXPECT_EQ(pixels_from_himetric(2540), 96);
  EXPECT_EQ(pixels_from_himetric(pixels_to_himetric(7)), 7);

  // The empty picture: LoadPicture("").
  Ref<Picture> none = read_picture_file(u"");
  EXPECT_EQ(none->kind(), Picture::kNone);
  EXPECT_EQ(none->handle(), 0);
  EXPECT_EQ(to_long(none->get(u"Width")), 0);
  EXPECT_EQ(Picture::from_handle(0), nullptr);
  EXPECT_EQ(as_picture(p.get()), p.get());
}

TEST_F(PictureFiles, HandlesNameLivePicturesOnly) {
  ASSERT_TRUE(write(kFormats[0]));
  int32_t old;
  {
    Ref<Picture> p = read_picture_file(u16(path("bmp")));
    old = p->handle();
    EXPECT_EQ(Picture::from_handle(old), p.get());
  }
  EXPECT_EQ(Picture::from_handle(old), nullptr);
  Ref<Picture> next = read_picture_file(u16(path("bmp")));
  EXPECT_NE(next->handle(), old) << "a number is not handed out twice";
  for (int32_t h : {-1, 12345678, INT32_MAX}) EXPECT_EQ(Picture::from_handle(h), nullptr);
}

// Big-endian CRC-32 of a PNG chunk's type and data.
uint32_t png_crc(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

void put_be32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

TEST_F(PictureFiles, BadDataIsAnInvalidPicture) {
  ASSERT_TRUE(write(kFormats[1]));
  std::vector<uint8_t> png = file_bytes(path("png"));
  // A PNG whose header claims 100000 x 100000 pixels, with a correct checksum.
  std::vector<uint8_t> huge = png;
  put_be32(huge, 16, 100000);
  put_be32(huge, 20, 100000);
  put_be32(huge, 29, png_crc(&huge[12], 17));
  // A bitmap header claiming 60000 x 60000 at 32 bits.
  QByteArray bmp;
  {
    QBuffer buf(&bmp);
    buf.open(QIODevice::WriteOnly);
    sample().save(&buf, "bmp");
  }
  std::vector<uint8_t> big_bmp(bmp.begin(), bmp.end());
  for (size_t at : {size_t{18}, size_t{22}})
    for (int i = 0; i < 4; ++i) big_bmp[at + i] = static_cast<uint8_t>(60000 >> (8 * i));

  struct Case { const char* what; std::vector<uint8_t> bytes; };
  std::vector<Case> cases = {
      {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
      {"one byte", {0x42}},
      {"PNG signature only", std::vector<uint8_t>(png.begin(), png.begin() + 8)},
      {"truncated PNG", std::vector<uint8_t>(png.begin(), png.begin() + png.size() / 2)},
      {"huge PNG", huge},
      {"huge bitmap", big_bmp},
      {"icon directory only", {0, 0, 1, 0, 1, 0, 7, 5, 0, 0, 1, 0, 32, 0, 0xFF, 0xFF, 0, 0, 22, 0, 0, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(error_of([&] { read_picture_bytes(c.bytes.data(), c.bytes.size()); }), 481) << c.what;
  EXPECT_EQ(error_of([] { read_picture_bytes(nullptr, 0); }), 481);

  // The same from a file.
  put_bytes(path("txt"), cases[0].bytes);
  EXPECT_EQ(error_of([&] { read_picture_file(u16(path("txt"))); }), 481);
  put_bytes(path("empty"), {});
  EXPECT_EQ(error_of([&] { read_picture_file(u16(path("empty"))); }), 481);
}

TEST_F(PictureFiles, MissingFileIsFileNotFound) {
  EXPECT_EQ(error_of([&] { read_picture_file(u16(dir_ / "nothing.bmp")); }), 53);
  EXPECT_EQ(error_of([&] { read_picture_file(u16(dir_ / "no_folder" / "x.png")); }), 53);
  EXPECT_EQ(error_of([&] { read_picture_file(u16(dir_)); }), 53) << "a folder is no picture file";
}

TEST_F(PictureFiles, SavedBitmapsRoundTrip) {
  for (const Format& f : {kFormats[1], kFormats[4]}) {
    SCOPED_TRACE(f.suffix);
    ASSERT_TRUE(write(f));
    Ref<Picture> p = read_picture_file(u16(path(f.suffix)));
    fs::path out = dir_ / "saved.bmp";
    write_bitmap_file(p->image(), u16(out));
    std::vector<uint8_t> b = file_bytes(out);
    ASSERT_GT(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(b[28] | (b[29] << 8), 24) << "bits per pixel";
    Ref<Picture> back = read_picture_file(u16(out));
    expect_sample(*back, {"bmp", Picture::kBitmap, true});
  }
  // A half-transparent icon is saved over white.
  QImage clear(4, 4, QImage::Format_ARGB32);
  clear.fill(Qt::transparent);
  write_bitmap_file(clear, u16(dir_ / "clear.bmp"));
  EXPECT_EQ(read_picture_file(u16(dir_ / "clear.bmp"))->image().pixel(1, 1), qRgb(255, 255, 255));

  EXPECT_EQ(error_of([&] { write_bitmap_file(sample(), u16(dir_ / "no_folder" / "x.bmp")); }), 75);
  EXPECT_EQ(error_of([&] { write_bitmap_file(QImage(), u16(dir_ / "x.bmp")); }), 481);
}

}  // namespace
}  // namespace qz
