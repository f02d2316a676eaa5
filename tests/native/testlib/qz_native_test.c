/* A small shared library for the native-call tests: packed records in and out, nested records,
   arrays of records, a text reached by address, callbacks with 0 to 10 word arguments, a
   64-bit result and an object with a COM-compatible method table. */
#include <stdint.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

#pragma pack(push, 1)
typedef struct {
  uint8_t a;
  int32_t b;
  int16_t c;
  double d;
  char name[8];
} Rec; /* 23 bytes */

typedef struct {
  int16_t x;
  int16_t y;
} Pt;

typedef struct {
  int32_t id;
  Pt pt;
  uint8_t flag;
} Outer; /* 9 bytes */

typedef struct {
  int32_t len;
  uint16_t* text; /* UTF-16 characters owned by the script */
} TextRec;
#pragma pack(pop)

EXPORT int32_t qt_rec_size(void) { return (int32_t)sizeof(Rec); }
EXPORT int32_t qt_outer_size(void) { return (int32_t)sizeof(Outer); }

/* a + b + c + d + the length of name (at most 8). */
EXPORT int32_t qt_rec_sum(const Rec* r) {
  return r->a + r->b + r->c + (int32_t)r->d + (int32_t)strnlen(r->name, sizeof r->name);
}

EXPORT void qt_rec_fill(Rec* r) {
  r->a = 200;
  r->b = -123456;
  r->c = -2;
  r->d = 2.5;
  memcpy(r->name, "ABCDEFGH", 8);
}

/* Moves the inner point and marks the record; returns the new x + y. */
EXPORT int32_t qt_outer_move(Outer* o, int32_t dx) {
  o->pt.x = (int16_t)(o->pt.x + dx);
  o->pt.y = (int16_t)(o->pt.y - 2 * dx);
  o->flag = 1;
  o->id *= 2;
  return o->pt.x + o->pt.y;
}

/* Scales n points by k; returns the sum of the coordinates before. */
EXPORT int32_t qt_points_scale(Pt* pts, int32_t n, int32_t k) {
  int32_t sum = 0;
  for (int32_t i = 0; i < n; ++i) {
    sum += pts[i].x + pts[i].y;
    pts[i].x = (int16_t)(pts[i].x * k);
    pts[i].y = (int16_t)(pts[i].y * k);
  }
  return sum;
}

/* Upper-cases the first len characters of the text; returns how many it changed. */
EXPORT int32_t qt_text_upper(TextRec* t) {
  int32_t changed = 0;
  for (int32_t i = 0; i < t->len; ++i)
    if (t->text[i] >= 'a' && t->text[i] <= 'z') {
      t->text[i] = (uint16_t)(t->text[i] - 32);
      ++changed;
    }
  return changed;
}

/* Calls cb with n arguments 1, 2, ..., n. */
typedef int64_t W;
EXPORT W qt_call(void* cb, int32_t n) {
  switch (n) {
    case 0: return ((W(*)(void))cb)();
    case 1: return ((W(*)(W))cb)(1);
    case 2: return ((W(*)(W, W))cb)(1, 2);
    case 3: return ((W(*)(W, W, W))cb)(1, 2, 3);
    case 4: return ((W(*)(W, W, W, W))cb)(1, 2, 3, 4);
    case 5: return ((W(*)(W, W, W, W, W))cb)(1, 2, 3, 4, 5);
    case 6: return ((W(*)(W, W, W, W, W, W))cb)(1, 2, 3, 4, 5, 6);
    case 7: return ((W(*)(W, W, W, W, W, W, W))cb)(1, 2, 3, 4, 5, 6, 7);
    case 8: return ((W(*)(W, W, W, W, W, W, W, W))cb)(1, 2, 3, 4, 5, 6, 7, 8);
    case 9: return ((W(*)(W, W, W, W, W, W, W, W, W))cb)(1, 2, 3, 4, 5, 6, 7, 8, 9);
    case 10: return ((W(*)(W, W, W, W, W, W, W, W, W, W))cb)(1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
    default: return -1;
  }
}

/* Calls a two-word callback with the words given. */
EXPORT W qt_call2(W (*cb)(W, W), W a, W b) { return cb(a, b); }

EXPORT W qt_wide(void) { return (W)0x123456789LL; }
EXPORT W qt_add_words(W a, W b) { return a + b; }
EXPORT int32_t qt_sum10(W a, W b, W c, W d, W e, W f, W g, W h, W i, W j) {
  return (int32_t)(a + 2 * b + 3 * c + 4 * d + 5 * e + 6 * f + 7 * g + 8 * h + 9 * i + 10 * j);
}

/* An object laid out as a COM interface: a pointer to a method table whose first three
   entries are QueryInterface, AddRef and Release. */
typedef struct Counter Counter;
typedef struct {
  int32_t (*QueryInterface)(Counter*, const void*, void**);
  uint32_t (*AddRef)(Counter*);
  uint32_t (*Release)(Counter*);
  int32_t (*Add)(Counter*, W);
} CounterMethods;
struct Counter {
  const CounterMethods* methods;
  uint32_t refs;
  int32_t total;
};

static int32_t counter_query(Counter* c, const void* iid, void** out) {
  static const uint8_t unknown[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  if (memcmp(iid, unknown, 16) != 0) {
    *out = 0;
    return (int32_t)0x80004002; /* E_NOINTERFACE */
  }
  *out = c;
  ++c->refs;
  return 0;
}
static uint32_t counter_add_ref(Counter* c) { return ++c->refs; }
static uint32_t counter_release(Counter* c) { return --c->refs; }
static int32_t counter_add(Counter* c, W n) { return c->total += (int32_t)n; }
static const CounterMethods counter_methods = {counter_query, counter_add_ref, counter_release, counter_add};
static Counter the_counter = {&counter_methods, 1, 0};

EXPORT Counter* qt_counter(void) {
  the_counter.refs = 1;
  the_counter.total = 0;
  return &the_counter;
}
EXPORT int32_t qt_counter_refs(void) { return (int32_t)the_counter.refs; }
