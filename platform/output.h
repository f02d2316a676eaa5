// Standard output and input as scripts see them.
//
// Text written to standard output is encoded through the output code page (output_code_page():
// UTF-8 unless QUAZEL_OUTPUT_CP names another page; a single-byte page gives byte-exact output
// through its lossless table). Output is buffered and flushed when the buffer fills, after
// every write when standard output is a terminal, before standard input is read, before the
// error stream is written, before the event loop waits, and at exit. Code that starts a child process or ends the process
// without running exit handlers must call flush_stdout() first.
//
// Standard input is read as raw bytes; callers decode them (through the ANSI page, as the
// host's CGI and console readers do).
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "com/str.h"

namespace qz {

// Text through the output code page. A Str with an odd byte length can only be a byte string
// (ChrB, MidB, conversions): its bytes are written unchanged.
void write_stdout(const Str& text);
void write_stdout_text(std::u16string_view text);
// Bytes written unchanged (binary output, byte strings of even length).
void write_stdout_bytes(std::string_view bytes);
// Writes out everything buffered; false when the write failed (what was buffered is dropped).
bool flush_stdout();

// The error stream: flushes standard output first, then writes the text at once through the
// output code page.
void write_stderr(std::u16string_view text);

// Up to max_bytes bytes; fewer only at the end of the input or on a read error.
std::string read_stdin(size_t max_bytes);
// The bytes up to the next LF, without the LF or a CR before it; nullopt at the end of input.
std::optional<std::string> read_stdin_line();
// Everything up to the end of the input.
std::string read_stdin_all();
// What is there now: the buffered bytes, or else what one read brings (waiting for it); up to
// max_bytes. Empty only at the end of the input or on a read error.
std::string read_stdin_some(size_t max_bytes);

// The program and the engine library it loads each hold a copy of this code. They must share
// one set of buffers, or text written through one copy overtakes text the other still holds
// (a child process's output before the script's, a prompt after the answer). The host hands
// its own state to the library before the library writes anything.
void* stdio_state();
void share_stdio_state(void* state);  // null: back to this copy's own buffers

// Whether the process started with a standard output. A program started with descriptor 1
// closed must say so before it opens anything (the number would be reused, and the run would
// look as if it had an output): claim_closed_stdout() checks, holds the number with /dev/null
// and records the answer in the shared state.
void claim_closed_stdout();
bool stdout_available();

// Test and host hooks: route standard output or input to another descriptor. Output buffered
// so far is flushed to the old descriptor, unread buffered input is dropped. Returns the old one.
int set_stdout_fd(int fd);
int set_stdin_fd(int fd);

}  // namespace qz
