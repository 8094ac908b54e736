#include "file/name_answer.h"

#include <cstdio>
#include <cstring>

#include "core/editor_state.h"
#include "core/input.h"

namespace {

const char kNameTooLong[] = "A file name has at most %i characters; that one was not used\n";

// Returns true when `text` ends with a newline.
bool EndsLine(const char* text) {
  size_t length = std::strlen(text);
  return length > 0 && text[length - 1] == '\n';
}

// Reads and drops the rest of the current input line.
void DropRestOfLine() {
  char rest[kNameSize];
  while (ReadLine(rest, kNameSize) > 0 && !EndsLine(rest)) {
  }
}

}  // namespace

NameRead ReadNameAnswer(char* name) {
  int count = ReadLine(name, kNameSize);
  if (count < 0) return NameRead::kEnd;
  if (EndsLine(name)) {
    name[count - 1] = 0;
    return NameRead::kOk;
  }
  if (count < kNameSize - 1) return NameRead::kOk;  // the last line of input, without newline
  // The answer filled the buffer: it fits only when its newline comes right after.
  char rest[2];
  int more = ReadLine(rest, sizeof rest);
  if (more <= 0 || rest[0] == '\n') return NameRead::kOk;
  DropRestOfLine();
  std::printf(kNameTooLong, kNameSize - 1);
  name[0] = 0;
  return NameRead::kTooLong;
}
