#pragma once
// Base64 (RFC 4648 alphabet, "=" padding) decoding for preset blobs.

// Decodes src until its terminator or the first character outside the alphabet ("=" included),
// writing at most destSize bytes; answers the number of bytes written. A null src or dest, or a
// destSize below 1, writes nothing.
int Base64Decode(const char* src, unsigned char* dest, int destSize);
