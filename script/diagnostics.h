// Error sources and the compile-error helper shared by the lexer, parser and interpreter.
#pragma once
#include <cstdint>
#include <string_view>

#include "com/error.h"

namespace qz::vbs {

inline constexpr std::u16string_view kRuntimeSource = u"VBScript runtime error";
inline constexpr std::u16string_view kCompileSource = u"VBScript compilation error";

// Compilation error numbers used by the parser.
enum : int32_t {
  kCeSyntax = 1002, kCeExpectedLParen = 1005, kCeExpectedRParen = 1006, kCeExpectedIdent = 1010,
  kCeExpectedEq = 1011, kCeExpectedIf = 1012, kCeExpectedTo = 1013, kCeExpectedEnd = 1014,
  kCeExpectedFunction = 1015, kCeExpectedSub = 1016, kCeExpectedThen = 1017, kCeExpectedWend = 1018,
  kCeExpectedLoop = 1019, kCeExpectedNext = 1020, kCeExpectedCase = 1021, kCeExpectedSelect = 1022,
  kCeExpectedExpr = 1023, kCeExpectedStatement = 1024, kCeExpectedEos = 1025,
  kCeExpectedInteger = 1026, kCeExpectedWhileUntil = 1027, kCeExpectedWith = 1029,
  kCeInvalidNumber = 1031, kCeInvalidChar = 1032, kCeUnterminatedString = 1033,
  kCeInvalidMe = 1037, kCeLoopWithoutDo = 1038, kCeInvalidExit = 1039, kCeInvalidForVar = 1040,
  kCeNameRedefined = 1041, kCeMustBeFirst = 1042, kCeParensOnSubCall = 1044, kCeExpectedLiteral = 1045, kCeExpectedIn = 1046,
  kCeExpectedClass = 1047, kCeInsideClass = 1048, kCeExpectedLetSetGet = 1049,
  kCeExpectedProperty = 1050, kCePropertyArgs = 1051, kCeMultipleDefault = 1052,
  kCeInitTermArgs = 1053, kCeLetSetArgs = 1054, kCeUnexpectedNext = 1055,
  kCeDefaultPlacement = 1056, kCeDefaultPublic = 1057, kCeDefaultGet = 1058,
};

// Run-time numbers the interpreter raises besides com/error.h's.
enum : int32_t {
  kErrProcNotDefined = 35, kErrForNotInitialized = 92, kErrNotCollection = 451, kErrUnsupportedType = 458, kErrIllegalAssign = 501, kErrUnqualifiedRef = 505,
  kErrClassNotDefined = 506,
};

// Raises a compilation error at a 1-based line and column.
[[noreturn]] void compile_error(int32_t number, int line, int col);

// A run-time error with VBScript's standard text.
[[noreturn]] void runtime_error(int32_t number);
// A run-time error whose text names the item it is about: "Type mismatch: 'x'".
[[noreturn]] void runtime_error_named(int32_t number, std::u16string_view name);

}  // namespace qz::vbs
