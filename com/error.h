// Script errors travel as C++ exceptions carrying the error number, source and description.
#pragma once
#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace qz {

class ScriptError : public std::exception {
 public:
  ScriptError(int32_t number, std::u16string source, std::u16string description)
      : number(number), source(std::move(source)), description(std::move(description)) {}
  const char* what() const noexcept override;

  int32_t number;
  std::u16string source;       // "VBScript runtime error" style; empty: filled by the VM
  std::u16string description;
  int line = 0;                // 1-based source position, when known
  int column = 0;
  bool compile = false;        // a compilation (syntax) error
  // How many trailing units of description only an error report shows (": 'name'"); the
  // script's Err.Description goes without them.
  size_t report_suffix = 0;
  std::u16string help_file;    // Err.Raise's HelpFile and HelpContext
  int32_t help_context = 0;

  std::u16string_view plain_description() const {
    return std::u16string_view(description).substr(0, description.size() - std::min(report_suffix, description.size()));
  }

 private:
  mutable std::string what_;
};

// The standard English text of a script error number ("Type mismatch"); empty when unknown.
std::u16string_view error_text(int32_t number);

// Throws a ScriptError with an empty source (the interpreter names it). Without a description,
// or with an empty one, the standard text is used, or "Unknown runtime error".
[[noreturn]] void raise(int32_t number);
[[noreturn]] void raise(int32_t number, std::u16string_view description);
[[noreturn]] void raise(int32_t number, std::u16string_view source, std::u16string_view description);

// Frequent numbers.
enum : int32_t {
  kErrIllegalCall = 5, kErrOverflow = 6, kErrOutOfMemory = 7, kErrSubscript = 9, kErrFixedArray = 10,
  kErrDivByZero = 11, kErrTypeMismatch = 13, kErrOutOfStringSpace = 14, kErrOutOfStack = 28,
  kErrFileNotFound = 53, kErrCantCreate = 429, kErrObjectRequired = 424, kErrNoSuchMember = 438,
  kErrArgCount = 450, kErrKeyExists = 457, kErrUndefined = 500, kErrNotObjectVar = 91, kErrInvalidNull = 94,
  kErrSyntax = 1002,
};

}  // namespace qz
