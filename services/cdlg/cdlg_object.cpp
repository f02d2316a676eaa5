// On a display the dialogs are the toolkit's and wait for the user; without one (or while a
// test's answer is queued) they name what they would ask on the error stream and take the
// queued answer, or are cancelled. The arguments a dialog would put in its record (owner
// window, flags, instance) are accepted and ignored. What the script gets back follows the
// dialogs: a cancelled font dialog returns the font passed in, a cancelled colour dialog -1, the
// path dialogs "".
#include "services/cdlg/cdlg_object.h"

#include <filesystem>

#include "com/convert.h"
#include "com/error.h"
#include "platform/dialogs.h"
#include "platform/output.h"
#include "platform/window/window_system.h"
#include "platform/path.h"
#include "runtime/engine_link.h"
#include "runtime/helpers/printers.h"
#include "runtime/helpers/value_helpers.h"
#include "script/script_control.h"
#include "services/cdlg/dialog_answers.h"
#include "services/cdlg/font_object.h"
#include "services/file/file_attributes.h"

namespace qz {

namespace {

constexpr int32_t kErrPermissionDenied = 70;
constexpr size_t kPathChars = 260, kTypeChars = 80;
constexpr int32_t kUseFileAttributes = 0x10;

std::u16string text_arg(const Args& a, size_t i) { return a.has(i) ? to_u16(a[i]) : std::u16string(); }

void show_request(std::u16string_view kind, std::u16string_view details) {
  std::u16string line(kind);
  line += u": ";
  line += details;
  line += u'\n';
  write_stderr(line);
}

// A path answer as the dialog's 260-character buffer gives it back: cut at the first NUL and
// at the buffer's end, blanks trimmed.
std::u16string buffer_text(std::u16string text) {
  if (text.size() > kPathChars) text.resize(kPathChars);
  size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
  size_t b = text.find_first_not_of(u' '), e = text.find_last_not_of(u' ');
  return b == std::u16string::npos ? std::u16string() : text.substr(b, e - b + 1);
}

std::u16string padded(std::u16string text, size_t width) {
  if (text.size() > width - 1) text.resize(width - 1);
  text.resize(width, u'\0');
  return text;
}

std::vector<std::u16string> split_bars(std::u16string_view text) {
  std::vector<std::u16string> parts(1);
  for (char16_t c : text) {
    if (c == u'|') parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

// A real dialog is asked only when no test answer waits and a user can see it.
bool on_screen() { return !common_dialog_answer_queued() && dialogs_on_display(); }

DialogServices& screen_dialogs() { return window_system().dialogs(); }

std::u16string lower(std::u16string s) {
  for (auto& c : s)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return s;
}

std::u16string upper(std::u16string s) {
  for (auto& c : s)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  return s;
}

// The type text of a file as a file manager names it.
std::u16string type_name_of(const std::filesystem::path& p, bool folder) {
  if (folder) return u"File folder";
  std::u16string ext = script_path(p.extension().string());
  if (ext.size() > 1) return upper(ext.substr(1)) + u" File";
  return u"File";
}

class CDlgObject : public NativeObject<CDlgObject> {
 public:
  explicit CDlgObject(std::function<bool()> allow_ui) : allow_ui_(std::move(allow_ui)) {}
  std::u16string type_name() const override { return u"clsCDlg"; }

  static void define(Members<CDlgObject>& m) {
    m.method(u"ShowFont", [](CDlgObject& d, Args a) { return d.show_font(a); });
    m.method(u"ShowColor", [](CDlgObject& d, Args a) { return d.show_color(a); });
    m.method(u"ShowFolder", [](CDlgObject& d, Args a) {
      d.check_ui();
      if (on_screen()) return Variant(Str(screen_dialogs().choose_folder(text_arg(a, 0)).value_or(std::u16string())));
      show_request(u"Choose folder", text_arg(a, 0));
      auto answer = next_common_dialog_answer();
      return Variant(Str(answer ? buffer_text(*answer) : std::u16string()));
    });
    m.method(u"ShowOpen", [](CDlgObject& d, Args a) { return d.show_file(u"Open file", a); });
    m.method(u"ShowSave", [](CDlgObject& d, Args a) { return d.show_file(u"Save file", a); });
    m.method(u"ShowPrinter", [](CDlgObject& d, Args) { d.show_printer(); return Variant(); });
    m.method(u"GetFileInfo", [](CDlgObject&, Args a) { return get_file_info(a); });
  }

 private:
  void check_ui() const {
    if (allow_ui_ && !allow_ui_()) raise(kErrPermissionDenied);
  }

  // ShowFont(fntDefault, nColor, hwndOwner, Flags). An answer is "name|size|styles", the
  // styles being any of bold, italic, underline, strikethrough; left-out parts keep the font's.
  Variant show_font(Args a) {
    check_ui();
    const Variant& given = a[0];
    if (!given.is_object() || !given.as_object()) raise(kErrObjectRequired);
    Object* font = given.as_object();
    FontChoice f;
    // Points in tenths, as the dialog's record holds them.
    int32_t tenths = static_cast<int32_t>(to_double(font->get(u"Size")) * 10);
    f.weight = to_integer(font->get(u"Weight"));
    f.italic = to_bool(font->get(u"Italic"));
    f.underline = to_bool(font->get(u"Underline"));
    f.strikethrough = to_bool(font->get(u"Strikethrough"));
    f.name = to_u16(font->get(u"Name"));
    if (f.name.size() > 31) f.name.resize(31);
    if (on_screen()) {
      int32_t color = a.has(1) ? to_long(a[1]) : 0;
      FontSpec spec{f.name, tenths / 10.0, static_cast<int16_t>(f.weight), f.italic, f.underline, f.strikethrough};
      std::optional<FontSpec> chosen = screen_dialogs().choose_font(spec, color);
      if (!chosen) return given;
      FontChoice c{chosen->name.substr(0, 31), chosen->size, chosen->weight, chosen->weight >= 700,
                   chosen->italic, chosen->underline, chosen->strikethrough};
      if (a.has(1)) a.ref(1) = Variant(color);
      return Variant(new_font_object(c).get());
    }
    show_request(u"Choose font", f.name + u" " + to_u16(Variant(tenths / 10.0)));
    auto answer = next_common_dialog_answer();
    if (!answer) return given;
    auto parts = split_bars(*answer);
    if (!parts[0].empty()) f.name = parts[0].substr(0, 31);
    if (parts.size() > 1 && !parts[1].empty()) tenths = static_cast<int32_t>(leading_number(parts[1]) * 10);
    if (parts.size() > 2) {
      std::u16string styles = lower(parts[2]);
      f.weight = styles.find(u"bold") != std::u16string::npos ? 700 : 400;
      f.italic = styles.find(u"italic") != std::u16string::npos;
      f.underline = styles.find(u"underline") != std::u16string::npos;
      f.strikethrough = styles.find(u"strikethrough") != std::u16string::npos;
    }
    f.bold = f.weight >= 700;
    f.size = tenths / 10.0;
    // The colour the dialog confirms is the one it was given: nothing here changes it.
    if (a.has(1)) a.ref(1) = Variant(to_long(a[1]));
    return Variant(new_font_object(f).get());
  }

  // ShowColor(custColors, hwndOwner, Flags): the custom colours come back as 16 Longs.
  Variant show_color(Args a) {
    check_ui();
    std::vector<Variant> colours(16, Variant(int32_t{0}));
    const Variant& given = a[0];
    const ArrayRep* rep = given.is_array() ? given.as_array() : nullptr;
    // Only an array of exactly 0 to 15 is taken; anything else starts as 16 zeros.
    if (rep && rep->dims.size() == 1 && rep->dims[0].lbound == 0 && rep->dims[0].count == 16) {
      for (size_t i = 0; i < 16; ++i)
        colours[i] = Variant(rep->elem == VT::Byte ? int32_t{rep->bytes[i]} : to_long(rep->items[i]));
    }
    if (on_screen()) {
      std::array<int32_t, 16> custom{};
      for (size_t i = 0; i < 16; ++i) custom[i] = to_long(colours[i]);
      std::optional<int32_t> chosen = screen_dialogs().choose_color(custom);
      for (size_t i = 0; i < 16; ++i) colours[i] = Variant(custom[i]);
      if (a.size() > 0) a.ref(0) = Variant::from_vector(colours);
      return Variant(chosen.value_or(-1));
    }
    show_request(u"Choose colour", u"");
    auto answer = next_common_dialog_answer();
    if (a.size() > 0) a.ref(0) = Variant::from_vector(colours);
    if (!answer) return Variant(int32_t{-1});
    return Variant(static_cast<int32_t>(static_cast<int64_t>(leading_number(*answer)) & 0xFFFFFFFF));
  }

  // ShowOpen/ShowSave(Filter, Title, InitDir, DefExt, hwndOwner, Flags, numFilter, nameFile).
  Variant show_file(std::u16string_view kind, Args a) {
    check_ui();
    std::u16string filter = text_arg(a, 0), title = text_arg(a, 1), folder = text_arg(a, 2), name = text_arg(a, 7);
    name = buffer_text(name);
    if (on_screen()) {
      FileDialogRequest r;
      r.save = kind == u"Save file";
      r.filter = filter;
      r.title = title;
      r.initial_folder = folder;
      r.default_extension = text_arg(a, 3);
      r.file_name = name;
      r.filter_index = a.has(6) ? to_long(a[6]) : 0;
      return Variant(Str(buffer_text(screen_dialogs().choose_file(r).value_or(std::u16string()))));
    }
    show_request(kind, title + u" [folder " + folder + u", name " + name + u", filter " + filter + u"]");
    auto answer = next_common_dialog_answer();
    return Variant(Str(answer ? buffer_text(*answer) : std::u16string()));
  }

  // The current printer stays unless the answer names another installed one.
  void show_printer() {
    check_ui();
    Ref<Object> printer = current_printer();
    if (!printer) return;
    std::u16string device;
    try {
      device = to_u16(printer->get(u"DeviceName"));
      printer->get(u"Orientation");
    } catch (const ScriptError&) {
      return;  // no printer to set up
    }
    if (on_screen()) {
      choose_printer_on_screen(printer.get(), device);
      return;
    }
    show_request(u"Choose printer", device);
    auto answer = next_common_dialog_answer();
    if (!answer) return;
    std::u16string wanted = upper(buffer_text(*answer));
    if (wanted == upper(device)) return;
    for (int i = 0;; ++i) {
      Ref<Object> p = printer_at(i);
      if (!p) break;
      try {
        if (upper(to_u16(p->get(u"DeviceName"))) == wanted) {
          set_current_printer(p.get());
          break;
        }
      } catch (const ScriptError&) {
      }
    }
  }

  // The chosen printer becomes the current one; copies, duplex and orientation follow, each
  // ignoring a failure.
  static void choose_printer_on_screen(Object* printer, const std::u16string& device) {
    PrinterSetup now;
    now.device = device;
    auto read = [&](std::u16string_view member, int16_t& into) {
      try {
        into = to_integer(printer->get(member));
      } catch (const ScriptError&) {
      }
    };
    read(u"Copies", now.copies);
    read(u"Orientation", now.orientation);
    read(u"Duplex", now.duplex);
    std::vector<std::u16string> names;
    std::vector<Ref<Object>> installed;
    for (int i = 0;; ++i) {
      Ref<Object> p = printer_at(i);
      if (!p) break;
      try {
        names.push_back(to_u16(p->get(u"DeviceName")));
        installed.push_back(p);
      } catch (const ScriptError&) {
      }
    }
    std::optional<PrinterSetup> chosen = screen_dialogs().choose_printer(now, names);
    if (!chosen) return;
    Ref<Object> target(printer);
    if (upper(chosen->device) != upper(device)) {
      for (size_t i = 0; i < names.size(); ++i)
        if (upper(names[i]) == upper(chosen->device) && set_current_printer(installed[i].get())) target = installed[i];
    }
    auto write = [&](std::u16string_view member, int16_t value) {
      try {
        target->let(member, Variant(value));
      } catch (const ScriptError&) {
      }
    };
    write(u"Copies", chosen->copies);
    write(u"Duplex", chosen->duplex);
    write(u"Orientation", chosen->orientation);
  }

  // GetFileInfo(fName, fAtr, Flags, fileObj): 1 and the file's details in fileObj, or 0 when
  // there is no such file (unless the flags ask for the given attributes to be used).
  static Variant get_file_info(Args a) {
    try {
      std::u16string name = text_arg(a, 0);
      int32_t given_attrs = a.has(1) ? to_long(a[1]) : 0, flags = a.has(2) ? to_long(a[2]) : 0;
      std::string path = find_path(name);
      int32_t attrs = 0;
      if (flags & kUseFileAttributes) {
        attrs = given_attrs;
      } else {
        std::error_code ec;
        if (name.empty() || !std::filesystem::exists(path, ec)) return Variant(int32_t{0});
        attrs = file_attributes(path);
      }
      std::filesystem::path p(path);
      std::u16string display = script_path(p.filename().string());
      if (display.empty()) display = script_path(p.parent_path().filename().string());
      Object* target = a[3].is_object() ? a[3].as_object() : nullptr;
      auto put = [&](std::u16string_view member, const Variant& v) {
        if (!target) return;
        try {
          target->let(member, v);
        } catch (const ScriptError&) {
        }
      };
      put(u"dwAttributes", Variant(attrs));
      put(u"hIcon", Variant(int32_t{0}));
      put(u"iIcon", Variant(int32_t{0}));
      put(u"szDisplayName", Variant(Str(padded(display, kPathChars))));
      put(u"szTypeName", Variant(Str(padded(type_name_of(p, attrs & kAttrFolder), kTypeChars))));
      return Variant(int32_t{1});
    } catch (const ScriptError&) {
      return Variant(int32_t{0});
    }
  }

  std::function<bool()> allow_ui_;
};

}  // namespace

Ref<Object> new_cdlg_object(std::function<bool()> allow_ui) { return make_ref<CDlgObject>(std::move(allow_ui)); }

Ref<Object> create_cdlg_service(EngineLink& engine) {
  EngineLink* link = &engine;
  return new_cdlg_object([link] { return link->script_control().allow_ui(); });
}

}  // namespace qz
