#include "host/dde/dde_item.h"

#include "host/dde/dde_address.h"

namespace qz::dde {

namespace {
constexpr std::string_view kArrayName = "lblDDE";
}

std::optional<int16_t> parse_item(std::string_view item) {
  if (item.size() < kArrayName.size() || !same_name(item.substr(0, kArrayName.size()), kArrayName)) return std::nullopt;
  std::string_view rest = item.substr(kArrayName.size());
  if (rest.empty()) return int16_t{0};
  if (rest.front() != '(' || rest.back() != ')') return std::nullopt;
  rest = rest.substr(1, rest.size() - 2);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
  if (rest.empty() || rest.size() > 5) return std::nullopt;
  int value = 0;
  for (char c : rest) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxLabelIndex) return std::nullopt;
  return static_cast<int16_t>(value);
}

std::string item_name(int16_t index) { return std::string(kArrayName) + "(" + std::to_string(index) + ")"; }

}  // namespace qz::dde
