#include "runtime/helpers/printers.h"

#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "com/str.h"
#include "runtime/helpers/program_pipe.h"

namespace qz {

namespace {

constexpr int kSpoolerTimeoutMs = 10000;

// One spooler destination. Print adds the texts of its arguments as they are (no line break
// is added), NewPage starts a new sheet, EndDoc sends the document to the destination.
class Printer : public NativeObject<Printer> {
 public:
  explicit Printer(std::u16string name) : name_(std::move(name)) {}
  static void define(Members<Printer>& m);
  std::u16string type_name() const override { return u"Printer"; }

 private:
  bool end_doc() {
    if (document_.empty()) return true;
    std::string text = u16_to_utf8(document_);
    document_.clear();
    return run_piped({"lp", "-s", "-d", u16_to_utf8(name_)}, text, kSpoolerTimeoutMs).has_value();
  }

  std::u16string name_;
  std::u16string document_;
  float current_x_ = 0, current_y_ = 0;
  int16_t page_ = 1;
};

void Printer::define(Members<Printer>& m) {
  m.getter(u"DeviceName", [](Printer& p, Args) { return Variant(p.name_); });
  m.getter(u"DriverName", [](Printer&, Args) { return Variant(u"lp"); });
  m.getter(u"Port", [](Printer& p, Args) { return Variant(p.name_); });
  m.getter(u"Page", [](Printer& p, Args) { return Variant(p.page_); });
  m.property(
      u"CurrentX", [](Printer& p, Args) { return Variant(p.current_x_); },
      [](Printer& p, Args, const Variant& v) { p.current_x_ = to_single(v); });
  m.property(
      u"CurrentY", [](Printer& p, Args) { return Variant(p.current_y_); },
      [](Printer& p, Args, const Variant& v) { p.current_y_ = to_single(v); });
  m.method(u"Print", [](Printer& p, Args a) {
    for (size_t i = 0; i < a.size(); ++i)
      if (!a[i].is_missing()) p.document_ += to_u16(a[i]);
    return Variant();
  });
  m.method(u"NewPage", [](Printer& p, Args) {
    p.document_ += u'\f';
    ++p.page_;
    return Variant();
  });
  m.method(u"KillDoc", [](Printer& p, Args) {
    p.document_.clear();
    p.page_ = 1;
    return Variant();
  });
  // 70 "Permission denied" when the spooler refuses the document.
  m.method(u"EndDoc", [](Printer& p, Args) {
    p.page_ = 1;
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
