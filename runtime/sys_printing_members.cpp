// sys members for printers and for drawing on forms, picture boxes and printers: GetPrintersAll,
// GetPrinters, GetPrinter, SetPrinter, CPrint, CLine, CCircle, CPset, CreateImage. The drawing
// members call the target's own Print, Line, Circle and PSet by name, so they work on any
// object that has them; a leading flags word says which optional parts of the drawing are
// given. Every member swallows its errors: a target without the member simply draws nothing.
#include <cstdint>

#include "com/convert.h"
#include "runtime/helpers/printers.h"
#include "runtime/script_file.h"

namespace qz {

namespace {

constexpr int16_t kNotGiven = -32768;  // CPrint: coordinate left out
constexpr float kArcNotGiven = -10.0f;  // CCircle: start, end and aspect left out

// Flags words: 2 colour; 6 both points and colour; +16 box; +32 filled box; 450 colour, start,
// end and aspect.
constexpr int16_t kFlagsColour = 2;
constexpr int16_t kFlagsLine = 6;
constexpr int16_t kFlagsBox = 22;
constexpr int16_t kFlagsFilledBox = 38;
constexpr int16_t kFlagsArc = 450;

// Pictures made by CreateImage in the engine's life; names dynPic1, dynPic2, ...
int32_t g_picture_counter = 0;

template <class F>
void quietly(F&& step) {
  try {
    step();
  } catch (...) {
  }
}

Variant object_or_nothing(const Ref<Object>& obj) { return obj ? Variant(obj) : Variant::nothing(); }

float arc_argument(Args a, size_t i) { return a.has(i) ? to_single(a[i]) : kArcNotGiven; }

}  // namespace

void define_sys_printing_members(Members<ScriptFile>& m) {
  m.method(u"GetPrintersAll", [](ScriptFile&, Args) {
    Variant r = Variant::nothing();
    quietly([&] { r = object_or_nothing(printers_collection()); });
    return r;
  });
  // An index outside the collection leaves the current printer as it was.
  m.method(u"GetPrinters", [](ScriptFile&, Args a) {
    quietly([&] {
      if (Ref<Object> p = printer_at(to_integer(a[0]))) set_current_printer(p.get());
    });
    Variant r = Variant::nothing();
    quietly([&] { r = object_or_nothing(current_printer()); });
    return r;
  });
  m.method(u"GetPrinter", [](ScriptFile&, Args) {
    Variant r = Variant::nothing();
    quietly([&] { r = object_or_nothing(current_printer()); });
    return r;
  });
  m.method(u"SetPrinter", [](ScriptFile&, Args a) {
    quietly([&] { set_current_printer(to_object(a[0])); });
    return Variant::nothing();
  });

  m.method(u"CPrint", [](ScriptFile&, Args a) {
    Object* target = nullptr;
    quietly([&] { target = to_object(a[0]); });
    if (!target) return Variant();
    Ref<Object> keep(target);
    quietly([&] {
      int16_t x = a.has(2) ? to_integer(a[2]) : kNotGiven;
      if (x != kNotGiven) target->let(u"CurrentX", Variant(x));
    });
    quietly([&] {
      int16_t y = a.has(3) ? to_integer(a[3]) : kNotGiven;
      if (y != kNotGiven) target->let(u"CurrentY", Variant(y));
    });
    quietly([&] { target->call(u"Print", {Variant(to_str(a[1]))}); });
    return Variant();
  });
  m.method(u"CLine", [](ScriptFile&, Args a) {
    quietly([&] {
      Ref<Object> target(to_object(a[0]));
      if (!target) return;
      std::vector<Variant> args{Variant(int16_t{0}),      Variant(to_integer(a[1])), Variant(to_integer(a[2])),
                                Variant(to_integer(a[3])), Variant(to_integer(a[4])), Variant(to_long(a[5]))};
      int16_t kind = a.has(6) ? to_integer(a[6]) : 0;
      switch (kind) {
        case 0: args[0] = Variant(kFlagsLine); break;
        case 1: args[0] = Variant(kFlagsBox); break;
        case 2: args[0] = Variant(kFlagsFilledBox); break;
        default: return;
      }
      target->call(u"Line", std::move(args));
    });
    return Variant();
  });
  m.method(u"CCircle", [](ScriptFile&, Args a) {
    quietly([&] {
      Ref<Object> target(to_object(a[0]));
      if (!target) return;
      Variant x(to_integer(a[1])), y(to_integer(a[2])), radius(to_integer(a[3])), colour(to_long(a[4]));
      float start = arc_argument(a, 5), end = arc_argument(a, 6), aspect = arc_argument(a, 7);
      if (start == kArcNotGiven && end == kArcNotGiven && aspect == kArcNotGiven)
        target->call(u"Circle", {Variant(kFlagsColour), x, y, radius, colour, Variant(0.0f), Variant(0.0f), Variant(0.0f)});
      else
        target->call(u"Circle", {Variant(kFlagsArc), x, y, radius, colour, Variant(start), Variant(end), Variant(aspect)});
    });
    return Variant();
  });
  m.method(u"CPset", [](ScriptFile&, Args a) {
    quietly([&] {
      Ref<Object> target(to_object(a[0]));
      if (!target) return;
      target->call(u"PSet", {Variant(kFlagsColour), Variant(to_integer(a[1])), Variant(to_integer(a[2])), Variant(to_long(a[3]))});
    });
    return Variant();
  });
  // A new picture box on the engine's hidden picture host, named dynPic1, dynPic2, ... A
  // picture that cannot be made gives Nothing; the counter still counts, so names stay unique.
  m.method(u"CreateImage", [](ScriptFile& s, Args) {
    std::u16string name = u"dynPic" + to_u16(Variant(++g_picture_counter));
    Variant r = Variant::nothing();
    quietly([&] { r = object_or_nothing(s.engine().create_picture_box(name)); });
    return r;
  });
}

}  // namespace qz
