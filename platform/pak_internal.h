// Shared between the archive loader and the decoders: the text behind
// PakLastError.
#pragma once

// printf-style; replaces the last failure text.
void PakSetError(const char* format, ...) __attribute__((format(printf, 1, 2)));
