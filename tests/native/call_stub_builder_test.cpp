// The i386 call thunks, byte for byte, and read back by a disassembler.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "com/error.h"
#include "runtime/native/call_stub_builder.h"

namespace qz {
namespace {

using Bytes = std::vector<uint8_t>;

// The thunk CallFunction builds for these words (word 0 unused) in a buffer at `base`.
Bytes call_thunk(uint32_t base, uint32_t target, int32_t call_type, std::vector<int32_t> words, uint32_t* start = nullptr) {
  CallStubBuilder b;
  b.target = target;
  b.call_type = call_type;
  size_t n = words.size() - 1;
  b.set_arrays(Bytes(6 * n + 51, 0), std::move(words));
  uint32_t s = b.prepare_code(base);
  if (start) *start = s;
  return b.code();
}

Bytes slice(const Bytes& b, size_t from, size_t n) { return Bytes(b.begin() + from, b.begin() + from + n); }

TEST(CallStubBuilder, ThreeArgumentsStdcall) {
  uint32_t start = 0;
  // The buffer at 0x1000 is aligned, so the thunk starts 16 bytes in.
  Bytes code = call_thunk(0x1000, 0x1000 + 16 + 26 + 0x1000, 0, {0, 1, 2, 3}, &start);
  EXPECT_EQ(start, 0x1010u);
  EXPECT_EQ(slice(code, 0, 16), Bytes(16, 0xCC));
  Bytes expected = {0x58, 0x59, 0x59, 0x59, 0x59, 0x50,           // drop the window-procedure arguments
                    0x68, 3, 0, 0, 0, 0x68, 2, 0, 0, 0, 0x68, 1, 0, 0, 0,  // push 3, 2, 1
                    0xE8, 0x00, 0x10, 0x00, 0x00,                  // call: target is 0x1000 past the call
                    0xC3, 0xCC};
  EXPECT_EQ(slice(code, 16, expected.size()), expected);
  EXPECT_EQ(code.size(), 6u * 3 + 51);
}

TEST(CallStubBuilder, CdeclPopsEachArgument) {
  Bytes code = call_thunk(0x2001, 0x3000, 1, {0, 7, 8, 9});
  // 0x2001 -> start 0x2010: 15 fillers.
  size_t after_call = 15 + 6 + 15 + 5;
  EXPECT_EQ(slice(code, after_call, 5), (Bytes{0x59, 0x59, 0x59, 0xC3, 0xCC}));
}

TEST(CallStubBuilder, NoArgumentsHasNoPopsEvenForCdecl) {
  uint32_t start = 0;
  Bytes code = call_thunk(0x100F, 0x5000, 1, {0}, &start);
  EXPECT_EQ(start, 0x1010u);  // one filler byte
  EXPECT_EQ(code[0], 0xCC);
  uint32_t rel = 0x5000 - (0x1010 + 6 + 5);
  Bytes expected = {0x58, 0x59, 0x59, 0x59, 0x59, 0x50, 0xE8, static_cast<uint8_t>(rel), static_cast<uint8_t>(rel >> 8),
                    static_cast<uint8_t>(rel >> 16), static_cast<uint8_t>(rel >> 24), 0xC3, 0xCC};
  EXPECT_EQ(slice(code, 1, expected.size()), expected);
  EXPECT_EQ(code.size(), 51u);
}

TEST(CallStubBuilder, AlignmentAlwaysMovesForward) {
  struct Case { uint32_t base, start; };
  for (Case c : {Case{0x1000, 0x1010}, Case{0x100F, 0x1010}, Case{0x1001, 0x1010}, Case{0xFFFFFFE0, 0xFFFFFFF0}})
    EXPECT_EQ(CallStubBuilder::align_start(c.base), c.start) << std::hex << c.base;
}

TEST(CallStubBuilder, TooSmallBufferRaisesBoundsError) {
  CallStubBuilder b;
  b.set_arrays(Bytes(20, 0), {0, 1, 2, 3});
  try {
    b.prepare_code(0x1000);
    FAIL() << "no error";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, 9);
  }
}

TEST(CallStubBuilder, CallFunction2ThunkLoopsOverTheWords) {
  Bytes code = call2_thunk(0x4000, 0x8000, 3, 0x4000 + 26 + 0x20, true);
  Bytes expected = {0xB9, 3, 0, 0, 0, 0xB8, 0x00, 0x80, 0, 0,  // mov ecx, 3; mov eax, 0x8000
                    0x49, 0x83, 0xF9, 0x00, 0x7C, 0x05, 0xFF, 0x34, 0x88, 0xEB, 0xF5,
                    0xE8, 0x20, 0, 0, 0,                      // call +0x20
                    0x83, 0xC4, 12,                           // add esp, 12 (cdecl)
                    0xC2, 0x10, 0x00};
  EXPECT_EQ(code, expected);
  EXPECT_EQ(call2_thunk(0x4000, 0x8000, 3, 0x4000, false).size(), 29u);
  EXPECT_THROW(call2_thunk(0, 0, 11, 0, false), ScriptError);
}

TEST(CallStubBuilder, InterfaceThunkPushesTheInterfaceLast) {
  Bytes code = interface_thunk(0x6000, 0xAABBCCDD, {5, 6}, 0x6000 + 20 + 0x100);
  Bytes expected = {0x68, 6, 0, 0, 0, 0x68, 5, 0, 0, 0, 0x68, 0xDD, 0xCC, 0xBB, 0xAA,
                    0xE8, 0x00, 0x01, 0, 0, 0xC2, 0x10, 0x00, 0x00};
  EXPECT_EQ(code, expected);
  EXPECT_EQ(code.size(), 5u * 2 + 14);
}

// objdump reads the bytes as the intended i386 instructions.
std::string disassemble(const Bytes& code) {
  if (std::system("objdump --version > /dev/null 2>&1") != 0) return {};
  char path[] = "/tmp/qz_thunk_XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return {};
  close(fd);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(code.data()), static_cast<std::streamsize>(code.size()));
  std::string cmd = std::string("objdump -D -b binary -m i386 ") + path;
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  std::remove(path);
  return out;
}

// The mnemonics and operands, one per line, without addresses and bytes.
std::vector<std::string> instructions(const std::string& listing) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < listing.size()) {
    size_t end = listing.find('\n', pos);
    std::string line = listing.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? listing.size() : end + 1;
    size_t t1 = line.find('\t');
    if (t1 == std::string::npos || line.find(':') == std::string::npos) continue;
    size_t t2 = line.find('\t', t1 + 1);
    if (t2 == std::string::npos) continue;
    std::string ins = line.substr(t2 + 1);
    while (!ins.empty() && ins.back() == ' ') ins.pop_back();
    std::string squeezed;
    for (char c : ins)
      if (!(c == ' ' && !squeezed.empty() && squeezed.back() == ' ')) squeezed += c;
    out.push_back(squeezed);
  }
  return out;
}

TEST(CallStubBuilder, DisassemblerAgrees) {
  Bytes thunk = call_thunk(0x1000, 0x1000 + 16 + 6 + 10 + 5 + 0x40, 1, {0, 0x11, 0x22});
  Bytes body(thunk.begin() + 16, thunk.end());
  std::string listing = disassemble(body);
  if (listing.empty()) GTEST_SKIP() << "objdump not available";
  std::vector<std::string> ins = instructions(listing);
  ASSERT_GE(ins.size(), 13u) << listing;
  std::vector<std::string> expected = {"pop %eax", "pop %ecx", "pop %ecx", "pop %ecx", "pop %ecx", "push %eax",
                                       "push $0x22", "push $0x11"};
  EXPECT_EQ(std::vector<std::string>(ins.begin(), ins.begin() + 8), expected) << listing;
  // objdump shows the call target relative to the dump's start (0): 21 + 0x40 = 0x55.
  EXPECT_EQ(ins[8].substr(0, 9), "call 0x55") << listing;
  EXPECT_EQ(ins[9], "pop %ecx");
  EXPECT_EQ(ins[10], "pop %ecx");
  EXPECT_EQ(ins[11], "ret");
  EXPECT_EQ(ins[12], "int3");

  std::vector<std::string> loop = instructions(disassemble(call2_thunk(0, 0x100, 2, 0x40, true)));
  std::vector<std::string> expected_loop = {"mov $0x2,%ecx", "mov $0x100,%eax", "dec %ecx", "cmp $0x0,%ecx",
                                            "jl 0x15", "push (%eax,%ecx,4)", "jmp 0xa", "call 0x40",
                                            "add $0x8,%esp", "ret $0x10"};
  ASSERT_EQ(loop.size(), expected_loop.size());
  for (size_t i = 0; i < loop.size(); ++i) EXPECT_EQ(loop[i].substr(0, expected_loop[i].size()), expected_loop[i]);
}

}  // namespace
}  // namespace qz
