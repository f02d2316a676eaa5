// Regex: the language's regular expressions (JavaScript-style syntax as the RegExp object
// accepts it) over UTF-16 text. The RegExp script object and the translator both use this class.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

struct RegexMatch {
  size_t index = 0;                 // FirstIndex (0-based, in code units)
  size_t length = 0;
  std::u16string value;
  // One per capture group; `matched` false when the group did not take part (SubMatches: Empty).
  struct Group { bool matched = false; size_t index = 0; std::u16string value; };
  std::vector<Group> groups;
};

class Regex {
 public:
  Regex();
  ~Regex();
  Regex(const Regex&) = delete;
  Regex& operator=(const Regex&) = delete;

  // Settings; changing one drops the compiled pattern.
  void set_pattern(std::u16string_view pattern);
  void set_global(bool on);
  void set_ignore_case(bool on);
  void set_multiline(bool on);
  const std::u16string& pattern() const;
  bool global() const;
  bool ignore_case() const;
  bool multiline() const;

  // Each raises ScriptError for a bad pattern: 5017 "Syntax error in regular expression", or
  // the more precise 5018 "Unexpected quantifier", 5019 "Expected ']' in regular expression",
  // 5020 "Expected ')' in regular expression", 5021 "Invalid range in character set"; and 28
  // "Out of stack space" when a search exceeds the backtracking limits (runaway pattern).
  bool test(std::u16string_view text);
  // All matches when global, else at most the first. Empty matches advance by one.
  std::vector<RegexMatch> execute(std::u16string_view text);
  // Replace with $1..$99, $&, $`, $', $$ in `replacement`.
  std::u16string replace(std::u16string_view text, std::u16string_view replacement);
  // Replace where each match's new text comes from `fn` (a replacement function).
  std::u16string replace(std::u16string_view text, const std::function<std::u16string(const RegexMatch&)>& fn);
  // Capturing groups in the pattern (compiles it first).
  size_t group_count();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qz
