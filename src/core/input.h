// The input layer: every line the editor reads comes through here.
//
// A read of limit N takes at most N-1 bytes of the next input line and stops after its newline;
// the rest of a longer line stays pending for the next read. At end of input every read reports
// it, so no question can be asked again forever.
#pragma once

#include <cstddef>

inline constexpr int kNumberSize = 8;  // a number answer: 7 characters and a terminator

// Reads the next input line into `buf` (limit bytes, terminated), newline kept when it fits.
// Returns the number of bytes read, or -1 at end of input (buf is then empty).
[[nodiscard]] int ReadLine(char* buf, int limit);

// Reads an answer like ReadLine, without its line end. Returns false at end of input.
[[nodiscard]] bool ReadAnswer(char* buf, int limit);

// Reads a number answer of at most 7 characters into `number_text` (8 bytes) and stores its
// value in *value. Returns false at end of input (*value is then 0).
[[nodiscard]] bool ReadNumber(char* number_text, int* value);

// Prints `question` as a line and reads a one-line answer. Returns true only when the answer is
// exactly "y"; anything else and end of input are a no.
[[nodiscard]] bool Confirm(const char* question);

// Returns the leading decimal number of `text`: white space, a sign, digits; 0 without digits.
// Values beyond the 32-bit range give the nearest end of the range.
int ParseInt(const char* text);

// Makes the reader take its input from `data` instead of standard input (tests, fuzzing).
void SetInputFromMemory(const char* data, size_t size);

// Makes the reader take its input from standard input again, with nothing pending.
void SetInputFromStdin();
