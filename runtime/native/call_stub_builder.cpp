#include "runtime/native/call_stub_builder.h"

#include "com/error.h"

namespace qz {

namespace {

void put_long(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// rel32 of a call whose displacement ends at `next`: i386 wraps modulo 2^32.
uint32_t rel32(uint32_t target, uint32_t next) { return target - next; }

}  // namespace

void CallStubBuilder::set_arrays(std::vector<uint8_t> code, std::vector<int32_t> words) {
  code_ = std::move(code);
  words_ = std::move(words);
}

void CallStubBuilder::emit_byte(uint8_t b) {
  if (pos_ >= code_.size()) raise(kErrSubscript);
  code_[pos_++] = b;
}

void CallStubBuilder::emit_long(uint32_t v) {
  for (int i = 0; i < 4; ++i) emit_byte(static_cast<uint8_t>(v >> (8 * i)));
}

void CallStubBuilder::emit_call(uint32_t to, uint32_t base) {
  emit_byte(0xE8);
  uint32_t next = base + static_cast<uint32_t>(pos_) + 4;
  emit_long(rel32(to, next));
}

uint32_t CallStubBuilder::prepare_code(uint32_t base) {
  if (words_.empty()) raise(kErrSubscript);
  const size_t n = words_.size() - 1;
  uint32_t start = align_start(base);
  pos_ = 0;
  while (base + pos_ < start) emit_byte(0xCC);
  // pop eax; pop ecx x4; push eax: drop the four window-procedure arguments.
  for (uint8_t b : {0x58, 0x59, 0x59, 0x59, 0x59, 0x50}) emit_byte(b);
  for (size_t k = n; k >= 1; --k) {
    emit_byte(0x68);
    emit_long(static_cast<uint32_t>(words_[k]));
  }
  emit_call(target, base);
  if (call_type > 0)
    for (size_t k = 0; k < n; ++k) emit_byte(0x59);
  emit_byte(0xC3);
  emit_byte(0xCC);
  return start;
}

std::vector<uint8_t> call2_thunk(uint32_t block, uint32_t args_address, int32_t count, uint32_t target, bool cdecl) {
  if (count < 0 || count > 10) raise(kErrIllegalCall);
  std::vector<uint8_t> out;
  out.push_back(0xB9);  // mov ecx, n
  put_long(out, static_cast<uint32_t>(count));
  out.push_back(0xB8);  // mov eax, address of the first word
  put_long(out, args_address);
  for (uint8_t b : {0x49, 0x83, 0xF9, 0x00, 0x7C, 0x05, 0xFF, 0x34, 0x88, 0xEB, 0xF5}) out.push_back(b);
  out.push_back(0xE8);  // call target
  put_long(out, rel32(target, block + 26));
  if (cdecl) {
    for (uint8_t b : {0x83, 0xC4}) out.push_back(b);  // add esp, n * 4
    out.push_back(static_cast<uint8_t>(count * 4));
  }
  for (uint8_t b : {0xC2, 0x10, 0x00}) out.push_back(b);  // ret 16
  return out;
}

std::vector<uint8_t> interface_thunk(uint32_t block, uint32_t interface_ptr, const std::vector<int32_t>& words,
                                     uint32_t method) {
  std::vector<uint8_t> out;
  for (size_t k = words.size(); k >= 1; --k) {
    out.push_back(0x68);
    put_long(out, static_cast<uint32_t>(words[k - 1]));
  }
  out.push_back(0x68);  // the interface pointer goes last, so it is the first argument
  put_long(out, interface_ptr);
  out.push_back(0xE8);
  put_long(out, rel32(method, block + static_cast<uint32_t>(out.size()) + 4));
  for (uint8_t b : {0xC2, 0x10, 0x00, 0x00}) out.push_back(b);
  return out;
}

}  // namespace qz
