#pragma once
// File names as text, without losing a byte.
//
// On Linux a path is a string of bytes; most are UTF-8, but a name written
// by an old archiver in Shift_JIS is not. Qt and the rest of the program
// hold paths as UTF-16 text, so every path crosses this one mapping: valid
// UTF-8 becomes its characters, and every byte that is not part of valid
// UTF-8 becomes the private-use character U+F700 plus the byte, the same
// characters the CP932 code page keeps invalid bytes as. The way back turns
// each of those characters into its byte again, so bytes -> text -> bytes
// always gives the original path.

#include <string>
#include <string_view>

namespace zu {

// The text of a path given as bytes. A valid UTF-8 sequence that stands for
// one of the escape characters themselves is escaped byte by byte, so that
// it too comes back as its own bytes.
std::u16string pathToText(std::string_view bytes);

// The bytes of a path given as text made by pathToText (or typed by the
// user). A lone surrogate, which no path can hold, becomes U+FFFD.
std::string textToPath(std::u16string_view text);

// The path as the user should read it: a name holding escaped bytes is read
// as Shift_JIS, and bytes that are not Shift_JIS either show as U+FFFD.
// Only for showing; never turn it back into a path.
std::u16string pathForDisplay(std::u16string_view text);

} // namespace zu
