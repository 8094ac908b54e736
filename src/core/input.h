// The input layer: every line the editor reads comes through here.
//
// A read of limit N takes at most N-1 bytes of the next input line and stops after its newline;
// the rest of a longer line stays pending for the next read. At end of input every read reports
// it, so no question can be asked again forever. A read also returns when a Ctrl-C, a hangup or
// a termination comes while it waits (see core/process.h), so whoever asked can act on it.
#pragma once

#include <cstddef>

inline constexpr int kNumberSize = 8;  // a number answer: 7 characters and a terminator

inline constexpr int kReadEnd = -1;          // end of input, or a read error
inline constexpr int kReadInterrupted = -2;  // Ctrl-C, or a hangup or termination to act on

// Reads the next input line into `buf` (limit bytes, terminated), newline kept when it fits.
// Returns the number of bytes read, kReadEnd or kReadInterrupted (buf is then empty).
[[nodiscard]] int ReadLine(char* buf, int limit);

// Returns true when the text of the last ReadLine continued an input line that an earlier
// read began.
bool ReadContinuesLine();

// Returns true when the last read met the end of input or a read error.
bool AtEndOfInput();

// Returns the errno of a failed read of standard input, or 0.
int InputError();

// Returns true when standard input is a terminal.
bool InputIsTerminal();

// What reading an answer gave.
enum class AnswerRead { kOk, kTooLong, kEnd, kInterrupted };

// Reads an answer of at most limit-1 characters into `buf`, without its line end. The rest of
// a longer line is read and dropped, its length stored in *ignored, and the result is
// kTooLong (buf holds the first limit-1 characters). A rest that is only the line end stays
// for the next read, where it counts as Enter alone, unless `whole` is set: then an answer of
// exactly limit-1 characters takes its line end with it.
AnswerRead ReadAnswerLine(char* buf, int limit, bool whole, long* ignored);

// Reads an answer like ReadAnswerLine; the rest of a longer line is dropped with one line
// saying how much was ignored. Returns false at end of input or on Ctrl-C (buf is then empty).
[[nodiscard]] bool ReadAnswer(char* buf, int limit);

// Reads one menu answer like ReadLine, without its line end: the rest of a longer line is the
// next answer. Returns false at end of input or on Ctrl-C.
[[nodiscard]] bool ReadMenuAnswer(char* buf, int limit);

// Reads a number answer of at most 7 characters into `number_text` (8 bytes) and stores its
// value in *value. Returns false at end of input or on Ctrl-C (*value is then 0).
[[nodiscard]] bool ReadNumber(char* number_text, int* value);

// Prints `question` as a line and reads a one-line answer. Returns true only when the answer is
// exactly "y"; anything else, end of input and Ctrl-C are a no.
[[nodiscard]] bool Confirm(const char* question);

// Returns the leading decimal number of `text`: white space, a sign, digits; 0 without digits.
// Values beyond the 32-bit range give the nearest end of the range.
int ParseInt(const char* text);

// Makes the reader take its input from `data` instead of standard input (tests, fuzzing).
void SetInputFromMemory(const char* data, size_t size);

// Makes the reader take its input from standard input again, with nothing pending.
void SetInputFromStdin();
