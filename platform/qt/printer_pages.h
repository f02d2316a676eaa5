// A printer's document as the script draws it: pages of the printer's paper size, each a
// canvas at 96 pixels an inch, with the drawing members of forms and picture boxes, Width and
// Height (the paper, in twips), Page, NewPage and KillDoc, and hDC: a device context of the
// process-wide table that always draws on the current page. The engine's printer object hands
// the finished document to the spooler as PDF.
#pragma once
#include <QImage>
#include <QPageSize>

#include <string>
#include <vector>

#include "com/object.h"
#include "platform/qt/drawing_members.h"

namespace qz {

class PrinterPages final : public NativeObject<PrinterPages>, public DrawingHost {
 public:
  static void define(Members<PrinterPages>& m);
  std::u16string type_name() const override { return u"Printer"; }

  // The paper of the named printer (the locale's default paper when the system does not know it).
  explicit PrinterPages(std::u16string_view printer);
  ~PrinterPages() override;
  void check_alive() const {}

  // The pages drawn so far as a PDF document, and a new document begun; empty when nothing has
  // been drawn. Raises 482 ("Printer error") when the document cannot be made.
  std::string take_document();

 private:
  void new_page();
  void kill_document();

  QPageSize paper_;
  std::vector<QImage> done_;  // finished pages
  bool page_used_ = false;    // something was drawn on the current page
};

}  // namespace qz
