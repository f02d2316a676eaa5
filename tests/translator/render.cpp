#include "tests/translator/render.h"

#include "com/str.h"
#include "engine/translator/module_dump.h"
#include "engine/translator/prologue.h"
#include "engine/translator/resource_blocks.h"
#include "engine/translator/text_util.h"

namespace qz::test {

namespace {

std::string placeholders(std::u16string code, const TranslatorSettings& s, int max_number) {
  for (bool no_create : {true, false})
    code = tr::replace_all(code, tr::prologue_text(s, no_create),
                           no_create ? u"<prologue, CreateObject off>\r\n" : u"<prologue>\r\n");
  for (int n = max_number; n >= 0; --n)
    code = tr::replace_all(code, tr::resource_class_text(n), u"<resource class " + tr::num(n) + u">\r\n");
  return show_breaks(code);
}

std::string replace_folder(std::string text, const std::string& folder) {
  for (const std::string& f : {folder, u16_to_utf8(lower(utf8_to_u16(folder)))}) {
    for (size_t at = text.find(f); !f.empty() && at != std::string::npos; at = text.find(f, at))
      text.replace(at, f.size(), "<data>/");
  }
  return text;
}

}  // namespace

std::string show_breaks(const std::u16string& code) {
  std::string out;
  for (size_t i = 0; i < code.size(); ++i) {
    if (code[i] == u'\r' && i + 1 < code.size() && code[i + 1] == u'\n') {
      out += "\n";
      ++i;
    } else if (code[i] == u'\r') {
      out += "<CR>\n";
    } else if (code[i] == u'\n') {
      out += "<LF>\n";
    } else {
      out += u16_to_utf8(code.substr(i, 1));
    }
  }
  return out;
}

std::string render(const TranslationResult& r, const TranslatorSettings& settings, const std::string& folder) {
  int max_number = 0;
  for (const LoadStep& s : r.steps) max_number = std::max(max_number, s.number);
  std::string out;
  for (const LoadStep& s : r.steps) {
    switch (s.kind) {
      case LoadKind::Form:
        out += "== form " + std::to_string(s.number) + " " + u16_to_utf8(s.name) + " as " + u16_to_utf8(s.control_name) +
               ", object " + u16_to_utf8(s.register_name) + (s.hide_code ? ", code hidden" : "") + "\n";
        break;
      case LoadKind::Module:
        out += "== " + std::string(tr::role_word(s.role)) + " " + std::to_string(s.number) + " " + u16_to_utf8(s.name) +
               " as " + u16_to_utf8(s.control_name) + ", folder " + u16_to_utf8(s.folder) + "\n";
        break;
      case LoadKind::GlobalCode:
        out += "== global code of " + u16_to_utf8(s.name) + "\n";
        break;
      case LoadKind::ModuleObject:
        out += "== module object " + std::to_string(s.number) + " " + u16_to_utf8(s.register_name) + "\n";
        break;
    }
    out += placeholders(s.code, settings, max_number);
    if (!s.code.empty()) out += "\n";
  }
  for (const ResourceRecord& res : r.resources) {
    out += "== resource module " + std::to_string(res.module) + " id " + std::to_string(res.id) + " name \"" +
           u16_to_utf8(res.name) + "\"" + (res.base64 ? " base64" : "") + (res.stored ? "" : " not stored") + ": ";
    for (unsigned char c : res.data) {
      if (c >= 0x20 && c < 0x7F && c != '\\') out.push_back(static_cast<char>(c));
      else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
      }
    }
    out += "\n";
  }
  for (int i = 0; i < kRunLevelCount; ++i)
    if (r.run_levels_stated.on[i]) out += "== run level " + u16_to_utf8(run_level_word(static_cast<RunLevel>(i))) + "\n";
  for (const auto& w : r.unknown_run_levels) out += "== unknown run level " + u16_to_utf8(w) + "\n";
  if (r.allow_ui_off) out += "== AllowUI off\n";
  if (r.no_show_error) out += "== error display off\n";
  if (r.add_rus) out += "== Russian keywords\n";
  for (const auto& a : r.develop_addresses) out += "== developer address " + u16_to_utf8(a) + "\n";
  for (const auto& f : r.includes) out += "== included " + u16_to_utf8(f) + "\n";
  for (const auto& l : r.libraries) out += "== library " + u16_to_utf8(l) + "\n";
  for (const TranslatorMessage& m : r.messages)
    out += "== message " + u16_to_utf8(m.title) + ": " + u16_to_utf8(m.text) + (m.shown ? "" : " (not shown)") + "\n";
  return replace_folder(out, folder);
}

}  // namespace qz::test
