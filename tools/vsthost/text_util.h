#pragma once

// Text helpers shared by the host's printers and parsers: deterministic number formatting, quoting
// that round-trips through the script tokenizer, and strict number parsing (no trailing junk).

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

// "%.9g": enough digits to reproduce any float exactly, and identical on every target.
std::string formatFloat(double v);

// "0x%08X" of a 32-bit value.
std::string formatHex32(uint32_t v);

// The four characters of a code packed high byte first, non-printables as '.'.
std::string fourCC(int32_t v);

// Double-quoted, with backslash, quote and control characters escaped.
std::string quote(const std::string& text);

// Whole-string parses. Integers take an optional sign and a "0x" prefix for hexadecimal.
bool parseInt(const std::string& text, int64_t* out);
bool parseDouble(const std::string& text, double* out);

// Splits a line into tokens at white space; a double-quoted token may hold spaces and the escapes
// that `quote` writes. A '#' outside quotes starts a comment. False on an unterminated quote.
bool tokenize(const std::string& line, std::vector<std::string>* tokens);

// Splits at every occurrence of `sep` ("a:b::c" gives "a", "b", "", "c").
std::vector<std::string> split(const std::string& text, char sep);

// Copies a C string out of a buffer the plug-in wrote, stopping at NUL or the buffer's end.
std::string fromBuffer(const char* buffer, size_t size);

}  // namespace vsthost
