#pragma once
// Base64 (RFC 4648 alphabet, "=" padding) for preset blobs: states written as source text and read
// back by MakePresetFromBlob.

// The characters Base64Encode writes for srcSize bytes, terminator not counted (-1 when srcSize is
// negative or the text would not fit an int).
int Base64EncodedLen(int srcSize);

// Encodes srcSize bytes of src into dest and terminates it; dest must hold
// Base64EncodedLen(srcSize) + 1 characters. Answers the characters written, or -1 (nothing written)
// for a null pointer or a size that Base64EncodedLen refuses.
int Base64Encode(const unsigned char* src, int srcSize, char* dest);

// Decodes src until its terminator or the first character outside the alphabet ("=" included),
// writing at most destSize bytes; answers the number of bytes written. A null src or dest, or a
// destSize below 1, writes nothing.
int Base64Decode(const char* src, unsigned char* dest, int destSize);
