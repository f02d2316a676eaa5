#include "engine/translator/declare_method.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

#include "com/str.h"
#include "engine/translator/text_util.h"

namespace qz::tr {

std::u16string rewrite_declares(std::u16string& text, bool no_dll) {
  if (!may_hold(text, u"declare ")) return {};
  Regex rx;
  configure(rx,
            u"\\n(private |public )*declare +(function|sub) +([a-z0-9_]+) +Lib +\\\"([^\\\"]+)\\\" +"
            u"(alias +\\\"([^\\\"]+)\\\" +)*\\(([^\\)]*)\\)( as )?([a-z0-9_]*)",
            true);
  std::vector<RegexMatch> matches = rx.execute(text);
  if (matches.empty()) return {};
  std::u16string wrappers;
  if (!no_dll) {
    Regex params;
    configure(params, u"[^\\,]+", true);
    for (const RegexMatch& m : matches) {
      auto g = [&m](int i) -> const std::u16string& { return m.groups[i].value; };
      size_t count = params.execute(g(6)).size();
      std::u16string list, args;
      for (size_t k = 0; k < count; ++k) {
        list += (k ? u", dll_var" : u"dll_var") + num(static_cast<long long>(k));
        args += u", dll_var" + num(static_cast<long long>(k));
      }
      const std::u16string& entry = g(4).empty() ? g(2) : g(5);
      std::u16string call = u"sys.dynapi.calldeclared(\"" + g(3) + u"\",\"" + entry + u"\"" + args + u")";
      wrappers += g(0) + g(1) + u" " + g(2) + u"(" + list + u")\r\n";
      wrappers += (lower(g(1)) == u"sub" ? u"Call " + call : g(2) + u" = " + call) + u"\r\n";
      wrappers += u"End " + g(1) + u"\r\n\r\n";
    }
  }
  text = remove_matches(text, matches);
  return wrappers;
}

namespace {

struct MethodCallRewriter {
  std::u16string name;
  std::u16string prefix;  // "Call " for a method declared with "*"
  std::unique_ptr<Regex> empty_args, with_args, bare;

  void compile() {
    if (empty_args) return;
    // The object part stops at a blank, "=", a tab or a line break, so a call at the start
    // of a line never takes the previous line's last word.
    const std::u16string object = u"([^ =\\r\\n\\t]+)\\.(" + name + u")";
    empty_args = std::make_unique<Regex>();
    with_args = std::make_unique<Regex>();
    bare = std::make_unique<Regex>();
    configure(*empty_args, object + u"\\( *\\)", false);
    configure(*with_args, object + u"\\((.+)\\)", false);
    configure(*bare, object + u"([^a-z0-9_])", false);
  }

  // Rewrites every call in one line (a line holds every match: none can cross a line feed).
  void rewrite(std::u16string& line) {
    compile();
    const std::pair<Regex*, std::u16string> passes[] = {
        {empty_args.get(), prefix + u"$2($1)"},
        {with_args.get(), prefix + u"$2($1,$3)"},
        {bare.get(), prefix + u"$2($1)$3"},
    };
    for (const auto& [rx, tpl] : passes) {
      // Each rewrite consumes one ".name", so a line needs at most as many rounds as it has dots.
      size_t rounds = std::count(line.begin(), line.end(), u'.') + 1;
      while (rounds-- > 0 && rx->test(line)) line = rx->replace(line, tpl);
    }
  }
};

bool ident_char(char16_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

void rewrite_methods(std::u16string& text) {
  if (!may_hold(text, u"method")) return;  // both patterns need the word
  Regex heads;
  configure(heads, u"\\n(.?)(Private |Public )*Method +([a-z0-9_]+)", true);
  std::vector<RegexMatch> declared = heads.execute(text);
  if (!declared.empty()) text = heads.replace(text, u"\n$2Function $3");
  Regex ends;
  configure(ends, u"\\nEnd +Method", true);
  text = ends.replace(text, u"End Function");
  if (declared.empty()) return;

  std::vector<MethodCallRewriter> methods;
  std::unordered_map<std::u16string, std::vector<size_t>> by_name;  // lower-case name -> declarations
  for (const RegexMatch& m : declared) {
    MethodCallRewriter r;
    r.name = m.groups[2].value;
    r.prefix = m.groups[0].value == u"*" ? u"Call " : u"";
    by_name[lower(r.name)].push_back(methods.size());
    methods.push_back(std::move(r));
  }

  // Every call of every method lies inside one line (its line feed included, which may end a
  // call without parentheses). A line goes to the rewriters of the methods whose ".name" it
  // holds, in declaration order; rewriting moves those names but never makes new ones.
  std::u16string out;
  out.reserve(text.size() + text.size() / 16);
  std::vector<size_t> called;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    end = end == std::u16string::npos ? text.size() : end + 1;
    std::u16string_view line(text.data() + start, end - start);
    called.clear();
    for (size_t i = 0; i + 1 < line.size(); ++i) {
      if (line[i] != u'.' || !ident_char(line[i + 1])) continue;
      size_t j = i + 1;
      while (j < line.size() && ident_char(line[j])) ++j;
      auto it = by_name.find(lower(line.substr(i + 1, j - i - 1)));
      if (it != by_name.end()) called.insert(called.end(), it->second.begin(), it->second.end());
      i = j - 1;
    }
    if (called.empty()) {
      out.append(line);
    } else {
      std::sort(called.begin(), called.end());
      called.erase(std::unique(called.begin(), called.end()), called.end());
      std::u16string rewritten(line);
      for (size_t k : called) methods[k].rewrite(rewritten);
      out += rewritten;
    }
    start = end;
  }
  text = std::move(out);
}

}  // namespace qz::tr
