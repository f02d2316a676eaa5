// sys.Crypt: AES-128 encryption of texts and files under a key made from a pass phrase
// (its ANSI bytes, zero-padded or cut to 16).
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

Ref<Object> new_aes_object();
// The factory sys uses for its Crypt member.
Ref<Object> create_crypt_service(EngineLink& engine);

}  // namespace qz
