#include "runtime/native/func_call.h"

#include <algorithm>
#include <array>

#include "com/convert.h"
#include "com/error.h"
#include "runtime/engine_link.h"
#include "runtime/helpers/pointer_helpers.h"
#include "runtime/native/callback_bridge.h"
#include "runtime/native/ffi_call.h"
#include "runtime/native/guid_text.h"
#include "runtime/native/native_args.h"
#include "runtime/native/native_library.h"
#include "runtime/native/record_marshal.h"

namespace qz {

namespace {
constexpr int32_t kErrDllLoad = 48;   // "Error in loading DLL"
constexpr int32_t kErrDllEntry = 453; // "Specified DLL function not found"
}  // namespace

namespace {

constexpr int32_t kMaxWordArgs = 10;
constexpr int32_t kENotImpl = static_cast<int32_t>(0x80004001);
constexpr int32_t kEInvalidArg = static_cast<int32_t>(0x80070057);

Variant zero() { return Variant(static_cast<int32_t>(0)); }

const void* as_pointer(int64_t word) { return reinterpret_cast<const void*>(static_cast<intptr_t>(word)); }

// A count of plain argument words, 0 to 10; more is refused.
int32_t checked_count(const Variant& v, std::u16string_view member) {
  int32_t n = to_long(v);
  if (n > kMaxWordArgs)
    raise(kErrIllegalCall, std::u16string(member) + u" takes at most 10 arguments");
  return n;
}

// Method `index` of the interface at `address`: null when the memory is not readable or the
// entry is no code. Our own objects offer only their first three methods.
const void* interface_method(int64_t address, int32_t index, bool& not_implemented) {
  not_implemented = false;
  if (index < 0) return nullptr;
  if (object_at_address(address) && index > 2) {
    not_implemented = true;
    return nullptr;
  }
  uintptr_t table = 0, method = 0;
  if (!read_memory(static_cast<uintptr_t>(address), &table, sizeof table)) return nullptr;
  if (!read_memory(table + static_cast<uintptr_t>(index) * sizeof(void*), &method, sizeof method)) return nullptr;
  const void* fn = reinterpret_cast<const void*>(method);
  return is_code_address(fn) ? fn : nullptr;
}

}  // namespace

FuncCall::CallScope::CallScope(FuncCall& owner) : owner_(owner), token_(++owner.last_token_) {
  if (token_ == 0) token_ = ++owner.last_token_;  // 0 is the script's own
  owner_.running_.push_back(token_);
}

FuncCall::CallScope::~CallScope() {
  uint32_t t = token_;
  owner_.buffers_.release_temporaries([t](uint32_t owner) { return owner == t; });
  auto& r = owner_.running_;
  r.erase(std::remove(r.begin(), r.end(), t), r.end());
}

FuncCall::~FuncCall() {
  for (void* h : held_) close_native_library(h);
}

void FuncCall::hold(void* library) {
  if (!held_.insert(library).second) close_native_library(library);  // one reference is enough
}

void FuncCall::release(void* library) {
  if (held_.erase(library)) close_native_library(library);
}

Variant FuncCall::result_of(int64_t raw) const {
  if (result_size == 8) return Variant(raw);
  return Variant(static_cast<int32_t>(static_cast<uint32_t>(raw)));
}

Variant FuncCall::call_words(const void* target, Args a, size_t first, size_t count, uint32_t token) {
  NativeArguments args(buffers_, token);
  Variant missing = Variant::missing();
  for (size_t i = 0; i < count; ++i) {
    Variant& slot = first + i < a.size() ? a.data()[first + i] : missing;
    if (!args.add(slot)) return zero();
  }
  take_callback_failure();  // a failure of an earlier call has been dealt with
  int64_t raw = call_with_words(target, args.words().data(), args.words().size());
  args.finish();
  // A callback of this call failed and was reported: the calling script ends here, as with an
  // uncaught error, without a second report.
  if (take_callback_failure()) throw RunEnded{};
  return result_of(raw);
}

Variant FuncCall::call_function(Args a, bool declared) {
  if (a.size() < 2) raise(kErrArgCount);
  CallScope scope(*this);
  const Variant& lib = a[0];
  const Variant& fn = a[1];
  void* handle = nullptr;
  bool by_name = lib.is_string();
  if (by_name) {
    handle = open_native_library(lib.str_view());
    if (!handle) {
      if (declared) raise(kErrDllLoad, u"Error in loading DLL: '" + std::u16string(lib.str_view()) + u"'");
      return zero();
    }
    hold(handle);
  } else {
    handle = const_cast<void*>(as_pointer(word_of(lib)));
    if (!valid_library_handle(handle)) return zero();
  }
  const void* target = nullptr;
  if (fn.is_string()) {
    target = find_native_symbol(handle, fn.str_view());
  } else {
    target = as_pointer(word_of(fn));
    if (!is_code_address(target)) target = nullptr;
  }
  if (!target) {
    if (declared)
      raise(kErrDllEntry, u"Specified DLL function not found: '" + to_u16(fn) + u"' in '" + to_u16(lib) + u"'");
    return zero();
  }
  Variant result = call_words(target, a, 2, a.size() - 2, scope.token());
  if (by_name && free_lib) release(handle);
  return result;
}

Variant FuncCall::call_function2(Args a) {
  int32_t count = a.has(3) ? checked_count(a[3], u"CallFunction2") : 0;
  std::u16string name = a.has(1) ? to_u16(a[1]) : std::u16string();
  int64_t address = a.has(2) ? word_of(a[2]) : 0;
  CallScope scope(*this);
  const void* target = nullptr;
  if (name.empty() && address == 0) {
    if (!repeat_target_) return zero();
    target = repeat_target_;
    count = repeat_count_;
  } else {
    if (count < 0) return zero();
    void* handle = nullptr;
    if (a.has(0) && a[0].is_string() && !a[0].str_view().empty()) {
      handle = open_native_library(a[0].str_view());
      if (handle) hold(handle);
    }
    if (address == 0) {
      target = handle ? find_native_symbol(handle, name) : nullptr;
      if (!target) return zero();
      if (a.size() > 2) a.ref(2) = Variant(static_cast<int64_t>(reinterpret_cast<intptr_t>(target)));
    } else {
      target = as_pointer(address);
      if (!is_code_address(target)) return zero();
    }
    repeat_target_ = target;
    repeat_count_ = count;
  }
  return call_words(target, a, 4, static_cast<size_t>(count), scope.token());
}

Variant FuncCall::call_function3(Args a) {
  const void* target = a.has(0) ? as_pointer(word_of(a[0])) : nullptr;
  if (!is_code_address(target)) return zero();
  CallScope scope(*this);
  return call_words(target, a, 1, 4, scope.token());
}

Variant FuncCall::call_interface(Args a) {
  int32_t count = a.has(2) ? checked_count(a[2], u"CallInterface") : 0;
  int64_t address = a.has(0) ? word_of(a[0]) : 0;
  int32_t index = a.has(1) ? to_long(a[1]) : 0;
  if (count < 0 || address == 0) return zero();
  bool not_implemented = false;
  const void* target = interface_method(address, index, not_implemented);
  if (!target) return not_implemented ? Variant(kENotImpl) : zero();
  CallScope scope(*this);
  // The interface pointer is the first word, then p1..pn.
  std::vector<Variant> words{Variant(address)};
  for (int32_t i = 0; i < count; ++i) {
    size_t at = 3 + static_cast<size_t>(i);
    words.push_back(at < a.size() ? a.data()[at] : Variant::missing());
  }
  return call_words(target, Args(words), 0, words.size(), scope.token());
}

Variant FuncCall::query_interface(Args a) {
  int64_t address = a.has(0) ? word_of(a[0]) : 0;
  auto set_out = [&a](int64_t v) {
    if (a.size() > 2) a.ref(2) = Variant(v);
  };
  auto iid = parse_guid_text(a.has(1) ? to_u16(a[1]) : std::u16string());
  if (!iid) {
    set_out(0);
    return Variant(kEInvalidArg);
  }
  bool not_implemented = false;
  const void* target = address ? interface_method(address, 0, not_implemented) : nullptr;
  if (!target) {
    set_out(0);
    return zero();
  }
  std::array<uint8_t, 16> guid = *iid;
  void* out = nullptr;
  const int64_t words[3] = {address, static_cast<int64_t>(reinterpret_cast<intptr_t>(guid.data())),
                            static_cast<int64_t>(reinterpret_cast<intptr_t>(&out))};
  int64_t hr = call_with_words(target, words, 3);
  set_out(static_cast<int64_t>(reinterpret_cast<intptr_t>(out)));
  return Variant(static_cast<int32_t>(static_cast<uint32_t>(hr)));
}

Variant FuncCall::record_address(const Variant& records) {
  RecordMarshaller marshal(buffers_, 0);
  int b = marshal.build(records);
  if (b < 0) return Variant(static_cast<int64_t>(0));
  const std::vector<uint8_t>& image = buffers_.at(b)->data;
  return Variant(image.empty() ? int64_t{0} : static_cast<int64_t>(reinterpret_cast<intptr_t>(image.data())));
}

void FuncCall::record_read_back(const Variant& records) {
  RecordMarshaller marshal(buffers_, 0);
  marshal.read_back(records);
}

int32_t FuncCall::record_size(const Variant& records) {
  // Measured with a token of its own, so every buffer it takes (nested ones too) goes again.
  CallScope scope(*this);
  RecordMarshaller marshal(buffers_, scope.token());
  int b = marshal.build(records);
  return b < 0 ? 0 : static_cast<int32_t>(buffers_.at(b)->data.size());
}

void FuncCall::clear_buffers() {
  const std::vector<uint32_t>& running = running_;
  buffers_.release_temporaries([&running](uint32_t owner) {
    return std::find(running.begin(), running.end(), owner) == running.end();
  });
}

}  // namespace qz
