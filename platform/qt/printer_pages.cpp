#include "platform/qt/printer_pages.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include "platform/qt/gdi/device_contexts.h"
#include "platform/window/window_system.h"

namespace qz {

namespace {

constexpr int kPrinterError = 482;
constexpr int kScreenDpi = 96;  // the canvas's pixels

QPageSize paper_of(std::u16string_view printer) {
  QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdU16String(std::u16string(printer)));
  QPageSize size = info.isNull() ? QPageSize() : info.defaultPageSize();
  if (size.isValid()) return size;
  return QPrinter().pageLayout().pageSize();
}

}  // namespace

PrinterPages::PrinterPages(std::u16string_view printer) : DrawingHost(0, 0), paper_(paper_of(printer)) {
  QSize px = paper_.sizePixels(kScreenDpi);
  canvas_->resize(px.width(), px.height());
  canvas_->set_back_color(0xFFFFFF);  // white paper, black ink
  canvas_->set_fore_color(0);
  canvas_->set_changed_handler([this] { page_used_ = true; });
  canvas_->image();  // the paper itself is no drawing
  page_used_ = false;
}

// Its context number goes with it: a script still holding it is refused.
PrinterPages::~PrinterPages() { forget_surface_context(this); }

void PrinterPages::new_page() {
  done_.push_back(canvas_->image().copy());
  canvas_->cls();
  canvas_->image();
  page_used_ = false;
}

void PrinterPages::kill_document() {
  done_.clear();
  canvas_->cls();
  canvas_->image();
  page_used_ = false;
}

std::string PrinterPages::take_document() {
  if (page_used_) new_page();
  std::vector<QImage> pages = std::move(done_);
  kill_document();
  if (pages.empty()) return {};

  QTemporaryFile file;
  if (!file.open()) raise(kPrinterError, u"Printer error");
  file.close();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file.fileName());
  printer.setPageSize(paper_);
  printer.setFullPage(true);
  printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter;
  if (!painter.begin(&printer)) raise(kPrinterError, u"Printer error");
  QRectF sheet(QPointF(0, 0), QSizeF(printer.pageLayout().fullRectPixels(printer.resolution()).size()));
  for (size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) printer.newPage();
    painter.drawImage(sheet, pages[i]);
  }
  painter.end();
  if (!file.open()) raise(kPrinterError, u"Printer error");
  QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void PrinterPages::define(Members<PrinterPages>& m) {
  define_drawing_members(m);
  m.getter(u"Width", [](PrinterPages& p, Args) {
    return Variant(static_cast<float>(p.canvas_->size().width() * kTwipsPerPixel));
  });
  m.getter(u"Height", [](PrinterPages& p, Args) {
    return Variant(static_cast<float>(p.canvas_->size().height() * kTwipsPerPixel));
  });
  m.getter(u"hDC", [](PrinterPages& p, Args) { return Variant(int32_t{device_context_of_surface(&p)}); });
  m.getter(u"Page", [](PrinterPages& p, Args) { return Variant(static_cast<int16_t>(p.done_.size() + 1)); });
  m.method(u"NewPage", [](PrinterPages& p, Args) {
    p.new_page();
    return Variant();
  });
  m.method(u"KillDoc", [](PrinterPages& p, Args) {
    p.kill_document();
    return Variant();
  });
}

}  // namespace qz
