// The screen of one turn: header, window of lines, prompt.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Writes `count` bytes of `text` to standard output with every control shown as '?', so that no
// text drives the terminal: a C0 control (0x00 to 0x1F but the tab) or DEL, a byte 0x80 to 0x9F
// that is not part of a well-formed UTF-8 sequence (a stray one, or one in a broken sequence),
// each one '?' for one byte; a C1 control encoded in UTF-8 (U+0080 to U+009F, two bytes), one
// '?' for the one column the character takes. Well-formed UTF-8 and all else pass as they are.
void PutVisible(const char* text, size_t count);

// Returns `name` as PutVisible shows it, its controls replaced by '?', for a message that
// prints a name (or any other text from outside) with printf.
std::string ShownName(std::string_view name);

// Writes the line `format` makes of the arguments to standard error, after what standard output
// holds so far, so that on a terminal it comes below what was shown before it. The line starts
// with "pellak: " when `format` does; a failed write is not reported, having nowhere to go.
[[gnu::format(printf, 1, 2)]] void PrintError(const char* format, ...);

// Prints the header, the window of `above`+1 lines ending at (or near the top, holding) line
// `line`, each shown from `column` on, and the prompt, without a final newline. Line numbers are
// shown when `numbers` is 1.
// Document text and the name go through PutVisible.
void Display(int line, int column, int above, const char* grid, int numbers, const char* name);
