// A printer's pages: drawing with the shared drawing members, NewPage and KillDoc, and the PDF
// document handed to the spooler.
#include "platform/qt/printer_pages.h"

#include <gtest/gtest.h>

#include <string>

#include "com/convert.h"

namespace qz {
namespace {

// Pages of the PDF document: its page objects.
int page_count(const std::string& pdf) {
  int n = 0;
  for (size_t at = pdf.find("/Type /Page\n"); at != std::string::npos; at = pdf.find("/Type /Page\n", at + 1)) ++n;
  return n;
}

TEST(PrinterPages, DocumentHasAPagePerNewPageAndStartsAgain) {
  Ref<PrinterPages> pages = make_ref<PrinterPages>(u"no-such-printer");
  EXPECT_EQ(pages->take_document(), "");  // nothing drawn: nothing to send
  pages->call(u"Line", {Variant(int32_t{38}), Variant(0), Variant(0), Variant(1440), Variant(1440), Variant(255)});
  EXPECT_EQ(to_long(pages->call(u"Point", {Variant(720), Variant(720)})), 255);
  pages->call(u"NewPage");
  EXPECT_EQ(to_long(pages->get(u"Page")), 2);
  EXPECT_EQ(to_long(pages->call(u"Point", {Variant(720), Variant(720)})), 0xFFFFFF);  // a fresh sheet
  pages->call(u"Print", {Variant(u"second page")});
  std::string pdf = pages->take_document();
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_EQ(page_count(pdf), 2);
  EXPECT_EQ(to_long(pages->get(u"Page")), 1);
  EXPECT_EQ(pages->take_document(), "");

  // A NewPage at the end of the drawing is a blank page; KillDoc throws the document away.
  pages->call(u"PSet", {Variant(int32_t{2}), Variant(10), Variant(10), Variant(0)});
  pages->call(u"NewPage");
  EXPECT_EQ(page_count(pages->take_document()), 1);
  pages->call(u"PSet", {Variant(int32_t{2}), Variant(10), Variant(10), Variant(0)});
  pages->call(u"KillDoc");
  EXPECT_EQ(pages->take_document(), "");
}

TEST(PrinterPages, PaperSizeAndScale) {
  Ref<PrinterPages> pages = make_ref<PrinterPages>(u"no-such-printer");
  double width = to_double(pages->get(u"Width")), height = to_double(pages->get(u"Height"));
  // Letter or A4 paper, upright, in twips.
  EXPECT_NEAR(width, 11906, 400);
  EXPECT_NEAR(height, 16000, 900);
  EXPECT_EQ(to_double(pages->get(u"ScaleWidth")), width);
  pages->let(u"ScaleMode", Variant(int16_t{5}));
  EXPECT_NEAR(to_double(pages->get(u"ScaleWidth")), width / 1440, 1e-3);
  EXPECT_EQ(to_long(pages->get(u"BackColor")), 0xFFFFFF);
  EXPECT_EQ(to_long(pages->get(u"ForeColor")), 0);
}

}  // namespace
}  // namespace qz
