// Error numbers of DDE operations, as scripts see them (raised by the labels' Link* members,
// carried in the protocol's Error replies).
#pragma once
#include <cstdint>

#include "com/variant.h"

namespace qz::dde {

enum : uint32_t {
  kErrNoAnswer = 282,      // no program serves that application and topic
  kErrRefused = 285,       // the other program will not perform the operation
  kErrTimeout = 286,       // no reply within LinkTimeout
  kErrNoData = 289,        // no such item
  kErrWrongFormat = 290,   // a message that breaks the protocol
  kErrQuit = 291,          // the other program went away
  kErrNoChannel = 293,     // an operation with no conversation open
  kErrBadLink = 294,       // LinkTopic is not "App|Topic"
};

// A LinkError argument: the link failed to update the label's data.
inline constexpr int16_t kLinkErrUpdateFailed = 8;

// An event procedure's result as a number; 0 when it is not one (Empty included).
int32_t to_long_or_zero(const Variant& v);

}  // namespace qz::dde
