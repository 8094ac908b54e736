// Reading a file name typed as an answer.
#pragma once

// What reading a name gave.
enum class NameRead { kOk, kEnd, kCancel, kTooLong };

// Reads one answer of at most 255 characters into `name` (256 bytes), without its line end.
// A longer answer is read to its end and refused with a message, so none of it is taken as
// a name or reaches the document as text. Returns kEnd at end of input and kCancel on Ctrl-C.
NameRead ReadNameAnswer(char* name);
