#include "engine/translator/module_builder.h"

#include <vector>

#include "engine/translator/prologue.h"
#include "engine/translator/resource_blocks.h"
#include "engine/translator/source_lines.h"
#include "engine/translator/text_util.h"

namespace qz::tr {

namespace {

struct Section {
  std::u16string tag_word;   // the tag's first sub-match (a class or form name)
  std::u16string body;       // from the end of the opening tag to the start of the closing one
};

// Tags pair up in order of appearance: first with second, third with fourth; a last tag
// without partner contributes nothing. `opening` is "\n<#" and the tag's word in lower case.
std::vector<Section> sections(std::u16string_view text, std::u16string_view opening, std::u16string_view pattern,
                              bool named) {
  if (!may_hold(text, opening)) return {};
  std::optional<std::vector<RegexMatch>> scanned = find_tags(text, opening.substr(3), named);
  std::vector<RegexMatch> tags;
  if (scanned) {
    tags = std::move(*scanned);
  } else {
    Regex rx;
    configure(rx, pattern, true);
    tags = rx.execute(text);
  }
  std::vector<Section> out;
  for (size_t i = 0; i + 1 < tags.size(); i += 2) {
    size_t from = tags[i].index + tags[i].length;
    out.push_back({tags[i].groups.empty() ? std::u16string() : tags[i].groups[0].value,
                   std::u16string(text.substr(from, tags[i + 1].index - from))});
  }
  return out;
}

size_t last_separator(std::u16string_view path) { return path.find_last_of(u"\\/"); }

}  // namespace

std::u16string module_base_name(std::u16string_view module_name) {
  size_t sep = last_separator(module_name);
  std::u16string_view base = sep == std::u16string_view::npos ? module_name : module_name.substr(sep + 1);
  if (iends_with(base, u".qz")) base.remove_suffix(3);
  return std::u16string(base);
}

std::u16string module_folder(std::u16string_view module_name) {
  size_t sep = last_separator(module_name);
  return sep == std::u16string_view::npos ? std::u16string() : std::u16string(module_name.substr(0, sep + 1));
}

int build_module(std::u16string_view text, std::u16string_view module_name, ModuleRole role,
                 const std::u16string& declare_wrappers, Context& ctx) {
  TranslatorState& st = ctx.state;

  std::u16string body;
  for (const Section& s : sections(text, u"\n<#module", u"\\n<#Module[=a-z0-9_]*>", false)) body += s.body + u"\r\n";

  std::vector<Section> class_sections = sections(text, u"\n<#class", u"\\n<#Class=*([a-z0-9_]*)>", true);
  std::u16string classes;  // the last class first
  std::vector<std::u16string> class_names;
  for (auto it = class_sections.rbegin(); it != class_sections.rend(); ++it)
    classes += u"Class " + it->tag_word + u"\r\n" + it->body + u"\r\nEnd Class\r\n";
  for (const Section& s : class_sections) class_names.push_back(s.tag_word);

  const int number = ++st.module_counter;
  const std::u16string name = module_base_name(module_name);
  const std::u16string folder = module_folder(module_name);
  const bool in_table = ModuleTable::in_range(number);

  std::u16string head;
  if (in_table) head += u"Const qz_NameMod = \"" + quote_literal(name) + u"\"\r\n";
  head += u"Private Const qz_IDM = " + num(number) + u"\r\n\r\n";
  if (number == 1) head += prologue_text(ctx.settings, st.run_levels[RunLevel::NoCreateObject]);
  head += resource_class_text(number);

  std::vector<std::u16string> form_declarations;  // in source order; the module lists the last first
  for (Section& s : sections(text, u"\n<#form", u"\\n<#Form=*([a-z0-9_]*)>", true)) {
    const int form = ++st.module_counter;
    const std::u16string& form_name = s.tag_word;
    std::u16string code = u"Private Const qz_IDM = " + num(form) + u"\r\n" + s.body;
    const bool hidden = icontains(code, u"<#--FormHideCode>");
    if (hidden) code = ireplace_all(code, u"<#--FormHideCode>", u"");
    if (number > 1)
      form_declarations.push_back((hidden ? u"Private " : u"Dim ") + form_name + u"\r\nSet " + form_name +
                                  u" = qz_forms_" + num(form) + u"\r\n\r\n");
    std::u16string names;
    if (in_table) names += u"Const qz_NameLib = \"" + quote_literal(name) + u"\"\r\n";
    if (ModuleTable::in_range(form)) names += u"Const qz_NameMod = \"" + quote_literal(form_name) + u"\"\r\n\r\n";
    code = names + resource_class_text(number) + code;
    LineOrigins origins{ctx.source_lines, unmark(code)};
    st.modules.set(form, {form_name, form, ModuleKind::Form, code, folder});

    LoadStep step;
    step.kind = LoadKind::Form;
    step.role = ModuleRole::Form;
    step.number = form;
    step.name = form_name;
    step.control_name = num(form) + u"_mdl_form_";
    step.register_name = number == 1 ? form_name : u"qz_forms_" + num(form);
    step.code = std::move(code);
    step.hide_code = hidden;
    step.folder = folder;
    step.origins = std::move(origins);
    ctx.host.load(step);
    ctx.result.steps.push_back(std::move(step));
  }

  std::u16string code;
  for (auto it = form_declarations.rbegin(); it != form_declarations.rend(); ++it) code += *it;
  code += head + classes + body;
  LineOrigins origins{ctx.source_lines, unmark(code)};
  st.modules.set(number, {name, number, ModuleKind::Module, code, folder});

  LoadStep step;
  step.kind = LoadKind::Module;
  step.role = role;
  step.number = number;
  step.name = name;
  step.control_name = num(number) + u"_mdl_module_";
  step.code = std::move(code);
  step.folder = folder;
  step.classes = std::move(class_names);
  step.origins = std::move(origins);
  ctx.host.load(step);
  ctx.result.steps.push_back(std::move(step));

  if (!declare_wrappers.empty()) {
    LoadStep global;
    global.kind = LoadKind::GlobalCode;
    global.role = ModuleRole::Global;
    global.name = name;
    global.code = declare_wrappers;
    strip_marks(global.code);
    ctx.host.load(global);
    ctx.result.steps.push_back(std::move(global));
  }
  if (number > 1) {
    LoadStep object;
    object.kind = LoadKind::ModuleObject;
    object.role = role;
    object.number = number;
    object.name = name;
    object.register_name = name;
    ctx.host.load(object);
    ctx.result.steps.push_back(std::move(object));
  }
  return number;
}

}  // namespace qz::tr
