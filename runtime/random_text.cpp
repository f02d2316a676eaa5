#include "runtime/random_text.h"

#include <random>
#include <string_view>

namespace qz {

std::u16string random_text(size_t length) {
  static constexpr std::u16string_view kAlphabet = u"qwertyuiopasdfghjklzxcvbnm0123456789";
  static std::random_device source;
  std::uniform_int_distribution<size_t> pick(0, kAlphabet.size() - 1);
  std::u16string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) out.push_back(kAlphabet[pick(source)]);
  return out;
}

}  // namespace qz
