// The screen of one turn: header, window of lines, prompt.
#pragma once

#include <cstddef>
#include <string>

// Writes `count` bytes of `text` to standard output with every control byte (0x00 to 0x1F but
// the tab, and 0x7F) shown as '?', one column for one byte, so that no text drives the terminal.
void PutVisible(const char* text, size_t count);

// Returns `name` as PutVisible shows it, every control byte replaced by '?', for a message
// that prints a name with printf.
std::string ShownName(const char* name);

// Prints the header, the window of `above`+1 lines ending at (or near the top, holding) line
// `line`, each shown from `column` on, and the prompt, without a final newline. Line numbers are
// shown when `numbers` is 1.
// Document text and the name go through PutVisible.
void Display(int line, int column, int above, const char* grid, int numbers, const char* name);
