#include "runtime/helpers/printers.h"

#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "com/str.h"
#include "platform/window/window_system.h"
#include "runtime/helpers/program_pipe.h"

namespace qz {

namespace {

constexpr int kSpoolerTimeoutMs = 10000;

// One spooler destination. Drawing and printing (Print, Line, Circle, PSet, CurrentX, ScaleMode,
// NewPage, Page, ...) go to its pages in the window system, made on first use, and so does hDC,
// the device context through which sys.GDI and sys.API draw on the current page; EndDoc sends
// what was drawn to the destination as a PDF document through lp.
class Printer : public NativeObject<Printer> {
 public:
  explicit Printer(std::u16string name) : name_(std::move(name)) {}
  static void define(Members<Printer>& m);
  std::u16string type_name() const override { return u"Printer"; }

  // Its own members first, then those of its pages.
  DispId find_member(std::u16string_view name) override {
    DispId id = members().find(name);
    if (id != kDispUnknown) return id;
    DispId on_pages = pages().find_member(name);
    return on_pages == kDispUnknown ? kDispUnknown : kPagesMembers + on_pages;
  }
  Variant invoke(DispId id, CallKind kind, Args args) override {
    if (id >= kPagesMembers) {
      Ref<Printer> keep(this);
      return pages().invoke(id - kPagesMembers, kind, args);
    }
    return NativeObject<Printer>::invoke(id, kind, args);
  }
  std::u16string member_name(DispId id) const override {
    if (id >= kPagesMembers) return pages_ ? pages_->member_name(id - kPagesMembers) : std::u16string();
    return NativeObject<Printer>::member_name(id);
  }
  const void* member_key() const override { return nullptr; }

 private:
  static constexpr DispId kPagesMembers = 0x10000;

  Object& pages() {
    if (!pages_) pages_ = window_system().create_printer_pages(name_);
    return *pages_;
  }
  // False when the spooler refuses the document.
  bool end_doc() {
    if (!pages_) return true;
    std::string pdf = window_system().take_printer_document(pages_.get());
    if (pdf.empty()) return true;
    return run_piped({"lp", "-s", "-d", u16_to_utf8(name_)}, pdf, kSpoolerTimeoutMs).has_value();
  }

  std::u16string name_;
  Ref<Object> pages_;
};

void Printer::define(Members<Printer>& m) {
  m.getter(u"DeviceName", [](Printer& p, Args) { return Variant(p.name_); });
  m.getter(u"DriverName", [](Printer&, Args) { return Variant(u"lp"); });
  m.getter(u"Port", [](Printer& p, Args) { return Variant(p.name_); });
  // 70 "Permission denied" when the spooler refuses the document.
  m.method(u"EndDoc", [](Printer& p, Args) {
    if (!p.end_doc()) raise(70);
    return Variant();
  });
}

class PrinterList : public NativeObject<PrinterList> {
 public:
  explicit PrinterList(std::vector<Ref<Object>> items) : items_(std::move(items)) {}
  static void define(Members<PrinterList>& m);
  std::u16string type_name() const override { return u"Printers"; }
  Ref<Enumerator> enumerate() override {
    std::vector<Variant> all(items_.begin(), items_.end());
    return make_ref<VectorEnumerator>(std::move(all));
  }
  Ref<Object> at(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) return {};
    return items_[index];
  }

 private:
  std::vector<Ref<Object>> items_;
};

void PrinterList::define(Members<PrinterList>& m) {
  m.getter(u"Count", [](PrinterList& l, Args) { return Variant(static_cast<int16_t>(l.items_.size())); });
  m.getter(u"Item", [](PrinterList& l, Args a) {
    Ref<Object> p = l.at(to_integer(a[0]));
    if (!p) raise(kErrSubscript);
    return Variant(p);
  });
  m.default_member(u"Item");
}

// Non-empty lines of a tool's output, each trimmed of blanks.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t first = line.find_first_not_of(" \t\r");
    size_t last = line.find_last_not_of(" \t\r");
    if (first != std::string::npos) out.push_back(line.substr(first, last - first + 1));
    start = end + 1;
  }
  return out;
}

struct PrinterState {
  bool listed = false;
  Ref<PrinterList> list;
  Ref<Object> current;
};

PrinterState& state() {
  static auto* s = new PrinterState();
  if (!s->listed) {
    s->listed = true;
    std::vector<Ref<Object>> items;
    std::vector<std::string> names;
    if (auto out = run_piped({"lpstat", "-e"}, {}, kSpoolerTimeoutMs)) names = lines_of(*out);
    for (const std::string& n : names) items.push_back(make_ref<Printer>(utf8_to_u16(n)));
    // "system default destination: NAME"
    std::string default_name;
    if (auto out = run_piped({"lpstat", "-d"}, {}, kSpoolerTimeoutMs)) {
      std::vector<std::string> l = lines_of(*out);
      size_t colon = l.empty() ? std::string::npos : l[0].rfind(": ");
      if (colon != std::string::npos) default_name = l[0].substr(colon + 2);
    }
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == default_name) s->current = items[i];
    s->list = make_ref<PrinterList>(std::move(items));
  }
  return *s;
}

}  // namespace

Ref<Object> printers_collection() { return Ref<Object>(state().list.get()); }

Ref<Object> current_printer() { return state().current; }

bool set_current_printer(Object* printer) {
  if (!printer || printer->type_name() != u"Printer" || !dynamic_cast<Printer*>(printer)) return false;
  state().current = Ref<Object>(printer);
  return true;
}

Ref<Object> printer_at(int index) { return state().list->at(index); }

}  // namespace qz
