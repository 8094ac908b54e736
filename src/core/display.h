// The screen of one turn: header, window of lines, prompt.
#pragma once

// Prints the header, the window of `above`+1 lines ending at (or near the top, holding) line
// `line`, each shown from `column` on, and the prompt, without a final newline. Line numbers are
// shown when `numbers` is 1.
void Display(int line, int column, int above, const char* grid, int numbers, const char* name);
