// The start-up check: before the run, a probe engine is created, runs the one line "rc = 0"
// (as inline code, so no Load procedure is needed and no error is reported), and is asked for
// Eval("qzl_version") & "." & Eval("qzl_Build"). An engine whose version text sorts before the
// host's own (a plain text comparison, as the version texts have always been compared) or that
// cannot be loaded at all is unusable. There is no installer to run on this platform: the host
// says what is wrong on the error stream and exits with status 1.
#pragma once
#include <string>

#include "com/object.h"

namespace qz {

// The host's own version text: major.minor.revision, no leading zeros.
std::u16string host_version_text();

// True when the engine's version is not older than the host's, the dotted numbers compared
// part by part ("8.0.10" is newer than "8.0.5").
bool engine_version_usable(std::u16string_view engine_version, std::u16string_view host_version);

// Asks a freshly created engine for its version text; empty when it does not answer.
std::u16string probe_engine_version(Object& engine);

// The message for an unusable engine, in the language of `langid` (1049 Russian, else English).
// `found` is the engine's version text (empty when none answered), `detail` the loader's reason.
std::u16string unusable_engine_message(int langid, std::u16string_view found, std::u16string_view detail);

}  // namespace qz
