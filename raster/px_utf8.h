// UTF-8 helpers of the text code. Characters beyond 16 bits stand as a space; anything that is not
// a well-formed sequence (a stray or lone lead byte, a lead byte cut short) is taken as the byte
// itself. Every helper takes an optional byte count: a negative count means up to the terminator,
// and nothing is read at or past the count.
#pragma once

// The byte length (1 to 4) of the character at s, its code in *out when out is not null. With
// avail >= 0 only avail bytes are read (at least one: the caller checks avail > 0).
int utf8char(const char* s, unsigned short* out, int avail = -1);

// Writes the UTF-8 form of c (1 to 3 bytes) and returns its length.
int utf8makechar(char* dest, unsigned short c);

// True when a byte of s starts a well-formed multi-byte sequence. False for null.
bool PX_Text_HasUTF8(const char* s, int len = -1);
