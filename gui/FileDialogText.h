#pragma once
// The texts a file dialog is given, built from a list of extensions such as "fxp fxb": one filter
// entry whose description and pattern are both the joined pattern "*.fxp;*.fxb", and the default
// extension "fxp" that a typed name without extension receives.
//
// Both go into fixed buffers the dialog record points to; every write here is bounded and
// terminated. Each space starts a new extension, so two spaces in a row give an empty pattern "*.".

// Fills filter (filterSize bytes) with the joined pattern, its terminator, the pattern again, its
// terminator and a final terminator. Patterns that do not fit are left out whole, from the first
// that does not fit on. Answers whether there is a filter: false, with filter empty, for no
// extensions or when not even the first pattern fits.
bool BuildFileFilter(const char* extensions, char* filter, int filterSize);

// Fills defExt (defExtSize bytes) with the first extension, the text before the first space; empty
// when there is none or when it does not fit (a cut extension would name another kind of file).
void BuildDefaultExtension(const char* extensions, char* defExt, int defExtSize);
