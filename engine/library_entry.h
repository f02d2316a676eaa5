// The entry points of the engine library (libquazel.so), looked up by the host with dlsym.
// They are the library's only exported symbols: everything else stays inside it, so the copy
// of the object model and platform code that the host links never mixes with the engine's.
#pragma once

namespace qz {
class EventLoop;
class Object;
}  // namespace qz

extern "C" {

// Makes the engine run its timers and posted work on the host's event loop. Call it before
// creating the first object.
void quazel_set_event_loop(qz::EventLoop* loop);

// Makes the engine write and read standard output and input through the host's buffers (the
// state returned by the host's qz::stdio_state()), so the two never overtake each other.
void quazel_share_stdio(void* state);

// A new object of a class the library registers (ProgID "Tolvex.Quazel"), with one reference
// that the caller owns; null for an unknown ProgID. `progid` is NUL-terminated UTF-16.
qz::Object* quazel_create_object(const char16_t* progid);

// The engine's version text, major.minor.revision: what qzl_Version & "." & qzl_Build give a
// script. NUL-terminated UTF-16, valid while the library is loaded. The start-up check reads
// it here rather than translating a script to ask; a library without it is asked that way.
const char16_t* quazel_engine_version();

}  // extern "C"

namespace qz {

inline constexpr const char* kSetEventLoopSymbol = "quazel_set_event_loop";
inline constexpr const char* kCreateObjectSymbol = "quazel_create_object";
inline constexpr const char* kShareStdioSymbol = "quazel_share_stdio";
inline constexpr const char* kEngineVersionSymbol = "quazel_engine_version";
using EngineVersionFn = const char16_t* (*)();
using ShareStdioFn = void (*)(void*);
using SetEventLoopFn = void (*)(EventLoop*);
using CreateObjectFn = Object* (*)(const char16_t*);

}  // namespace qz
