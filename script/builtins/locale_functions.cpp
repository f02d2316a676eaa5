// GetLocale and SetLocale: the script's locale id. Scripts save and restore it around
// conversions, so the id is kept and validated; formatting itself stays English (United
// States) whatever id is set.
#include <atomic>
#include <cstdint>
#include <string>

#include "script/builtins/builtin_support.h"

namespace qz::builtins {
namespace {

constexpr int32_t kDefaultLocale = 1033;  // en-us

std::atomic<int32_t> g_locale{kDefaultLocale};

struct LocaleName {
  std::u16string_view name;
  int32_t lcid;
};

// Short names scripts pass to SetLocale, with their ids.
constexpr LocaleName kLocaleNames[] = {
    {u"af", 1078},     {u"ar-eg", 3073},  {u"ar-sa", 1025},  {u"be", 1059},     {u"bg", 1026},
    {u"ca", 1027},     {u"cs", 1029},     {u"da", 1030},     {u"de", 1031},     {u"de-at", 3079},
    {u"de-ch", 2055},  {u"de-de", 1031},  {u"el", 1032},     {u"en", 1033},     {u"en-au", 3081},
    {u"en-ca", 4105},  {u"en-gb", 2057},  {u"en-ie", 6153},  {u"en-nz", 5129},  {u"en-us", 1033},
    {u"en-za", 7177},  {u"es", 1034},     {u"es-es", 3082},  {u"es-mx", 2058},  {u"et", 1061},
    {u"fi", 1035},     {u"fr", 1036},     {u"fr-be", 2060},  {u"fr-ca", 3084},  {u"fr-ch", 4108},
    {u"fr-fr", 1036},  {u"he", 1037},     {u"hr", 1050},     {u"hu", 1038},     {u"is", 1039},
    {u"it", 1040},     {u"it-ch", 2064},  {u"it-it", 1040},  {u"ja", 1041},     {u"kk", 1087},
    {u"ko", 1042},     {u"lt", 1063},     {u"lv", 1062},     {u"nl", 1043},     {u"nl-be", 2067},
    {u"nl-nl", 1043},  {u"no", 1044},     {u"pl", 1045},     {u"pt", 2070},     {u"pt-br", 1046},
    {u"pt-pt", 2070},  {u"ro", 1048},     {u"ru", 1049},     {u"ru-ru", 1049},  {u"sk", 1051},
    {u"sl", 1060},     {u"sr", 3098},     {u"sv", 1053},     {u"sv-se", 1053},  {u"th", 1054},
    {u"tr", 1055},     {u"uk", 1058},     {u"uk-ua", 1058},  {u"zh-cn", 2052},  {u"zh-hk", 3076},
    {u"zh-tw", 1028},
};

// A locale id names a language in its low ten bits; 0, 1024 (user default) and 2048 (system
// default) all mean the machine's own locale.
int32_t checked_lcid(int64_t id) {
  if (id == 0 || id == 1024 || id == 2048) return kDefaultLocale;
  if (id < 0 || id > 0xFFFFF || (id & 0x3FF) == 0) invalid_argument();
  return static_cast<int32_t>(id);
}

int32_t lcid_from(const Variant& v) {
  if (v.type() != VT::String) return checked_lcid(to_longlong(v));
  std::u16string name = lower(v.str_view());
  while (!name.empty() && name.back() == u' ') name.pop_back();
  while (!name.empty() && name.front() == u' ') name.erase(name.begin());
  for (const LocaleName& l : kLocaleNames)
    if (l.name == name) return l.lcid;
  double number;
  if (!name.empty() && parse_number(name, number)) return checked_lcid(to_longlong(Variant(number)));
  invalid_argument();
}

Variant GetLocale(BuiltinContext&, Args) { return Variant(g_locale.load()); }

// SetLocale([lcid]): returns the id in force before; no argument restores the default.
Variant SetLocale(BuiltinContext&, Args a) {
  int32_t next = given(a, 0) ? lcid_from(arg(a, 0)) : kDefaultLocale;
  return Variant(g_locale.exchange(next));
}

constexpr BuiltinFunction kTable[] = {
    {u"GetLocale", 0, 0, GetLocale},
    {u"SetLocale", 0, 1, SetLocale},
};

}  // namespace

std::span<const BuiltinFunction> locale_functions() { return kTable; }

}  // namespace qz::builtins
