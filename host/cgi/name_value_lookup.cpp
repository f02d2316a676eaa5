#include "host/cgi/name_value_lookup.h"

#include "com/str.h"

namespace qz::cgi {

std::u16string lookup_value(const std::vector<std::u16string>& entries, std::u16string_view name) {
  size_t b = name.find_first_not_of(u' ');
  size_t e = name.find_last_not_of(u' ');
  std::u16string key = b == std::u16string_view::npos ? std::u16string() : std::u16string(name.substr(b, e - b + 1));
  key += u'=';
  for (const std::u16string& entry : entries) {
    if (entry.size() >= key.size() && iequals(std::u16string_view(entry).substr(0, key.size()), key))
      return entry.substr(key.size());
  }
  return {};
}

}  // namespace qz::cgi
