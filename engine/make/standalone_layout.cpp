#include "engine/make/standalone_layout.h"

namespace qz::standalone {

namespace {

// Each byte is stored XORed with a key that the compiler cannot see through, so the plain
// bytes are never a constant it could place in the program.
volatile unsigned char g_unscramble_key = 0x5A;

template <size_t N>
std::string unscramble(const unsigned char (&bytes)[N]) {
  const unsigned char key = g_unscramble_key;
  std::string out(N, '\0');
  for (size_t i = 0; i < N; ++i) out[i] = static_cast<char>(bytes[i] ^ key);
  return out;
}

// Chr(0) "-$header$-" Chr(0), each byte XOR 0x5A.
constexpr unsigned char kScrambledMarker[] = {0x5A, 0x77, 0x7E, 0x32, 0x3F, 0x3B, 0x3E,
                                              0x3F, 0x28, 0x7E, 0x77, 0x5A};
// Chr(0) "-$engine$-" Chr(0), each byte XOR 0x5A.
constexpr unsigned char kScrambledEngineMarker[] = {0x5A, 0x77, 0x7E, 0x3F, 0x34, 0x3D,
                                                    0x33, 0x34, 0x3F, 0x7E, 0x77, 0x5A};
// "Quazel" Chr(0) "AddSpaceTitle", each byte XOR 0x5A.
constexpr unsigned char kScrambledSignature[] = {0x0B, 0x2F, 0x3B, 0x20, 0x3F, 0x36, 0x5A,
                                                 0x1B, 0x3E, 0x3E, 0x09, 0x2A, 0x3B, 0x39,
                                                 0x3F, 0x0E, 0x33, 0x2E, 0x36, 0x3F};
// "<qz-title-area>" Chr(0), each byte XOR 0x5A.
constexpr unsigned char kScrambledSentinel[] = {0x66, 0x2B, 0x20, 0x77, 0x2E, 0x33, 0x2E, 0x36,
                                                0x3F, 0x77, 0x3B, 0x28, 0x3F, 0x3B, 0x64, 0x5A};
static_assert(sizeof kScrambledMarker == kMarkerSize);
static_assert(sizeof kScrambledEngineMarker == kMarkerSize);
static_assert(sizeof kScrambledSentinel == kTitleSentinelSize);

// The area behind its sentinel, in writable data and read through a volatile pointer: the
// compiler must never fold the title into a constant, since make rewrites these bytes in the
// file.
struct TitleArea {
  char sentinel[kTitleSentinelSize];
  char area[kTitleAreaSize];
};
static_assert(sizeof(TitleArea) == kTitleSentinelSize + kTitleAreaSize);

[[gnu::used]] TitleArea g_title_area = {
    "<qz-title-area>",
    "Quazel\0AddSpaceTitle"
    "----------------------------------------------"
    "----------------------------------------------"};

}  // namespace

const volatile char* title_area() { return g_title_area.area; }

std::string end_marker() { return unscramble(kScrambledMarker); }

std::string engine_marker() { return unscramble(kScrambledEngineMarker); }

std::string title_area_signature() { return unscramble(kScrambledSignature); }

std::string title_area_sentinel() { return unscramble(kScrambledSentinel); }

}  // namespace qz::standalone
