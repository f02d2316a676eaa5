// The start-up check: before the run, a probe engine is created and released. Its version is
// what the library states (quazel_engine_version); a library without that entry point has its
// probe run the one line "rc = 0" (as inline code, so no Load procedure is needed and no error
// is reported) and asks it Eval("qzl_version") & "." & Eval("qzl_Build"). An engine whose
// version is below the host's own (compared number by number: 8.0.10 is above 8.0.5) or that
// cannot be loaded at all is unusable. Which engines are tried, in which order, is engine_choice.h. When none is usable
// the host says what is wrong on the error stream and exits with status 1.
#pragma once
#include <optional>
#include <string>

#include "com/object.h"

namespace qz {

// The host's own version text: major.minor.revision, no leading zeros.
std::u16string host_version_text();

// -1, 0 or 1 as version text `a` is below, equal to or above `b`, compared number by number
// ("8.0.10" > "8.0.5", "8.0" == "8.0.0"); nullopt when either is not numbers joined by dots.
std::optional<int> compare_versions(std::u16string_view a, std::u16string_view b);

// True when the engine's version is not below the host's.
bool engine_version_usable(std::u16string_view engine_version, std::u16string_view host_version);

// Asks a freshly created engine for its version text; empty when it does not answer.
std::u16string probe_engine_version(Object& engine);

// The message for an unusable engine, in the language of `langid` (1049 Russian, else English).
// `found` is the engine's version text (empty when none answered), `detail` the loader's reason.
std::u16string unusable_engine_message(int langid, std::u16string_view found, std::u16string_view detail);

// The message for a carried engine that fails its check; `why` says how.
std::u16string damaged_engine_message(int langid, std::u16string_view why);

}  // namespace qz
