#include "core/input.h"

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kChunk = 1 << 16;

struct Reader {
  char own[kChunk];
  const char* data = own;
  size_t pos = 0;
  size_t len = 0;
  bool from_memory = false;
  bool at_end = false;
};

Reader reader;

// Returns true when a read of standard input would not have to wait.
bool InputReady() {
  pollfd fd = {STDIN_FILENO, POLLIN, 0};
  return poll(&fd, 1, 0) > 0;
}

// Refills the buffer from standard input; returns false at end of input or on a read error.
// Output is flushed only when the read would wait, so a person sees the prompt while a piped
// script costs no write per turn.
bool Refill() {
  if (reader.at_end || reader.from_memory) {
    reader.at_end = true;
    return false;
  }
  if (!InputReady()) std::fflush(stdout);
  for (;;) {
    ssize_t got = read(STDIN_FILENO, reader.own, kChunk);
    if (got > 0) {
      reader.data = reader.own;
      reader.pos = 0;
      reader.len = static_cast<size_t>(got);
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    reader.at_end = true;
    return false;
  }
}

}  // namespace

int ReadLine(char* buf, int limit) {
  int count = 0;
  buf[0] = 0;
  if (limit < 2) return reader.at_end ? -1 : 0;
  while (count < limit - 1) {
    if (reader.pos == reader.len && !Refill()) break;
    char c = reader.data[reader.pos++];
    buf[count++] = c;
    if (c == '\n') break;
  }
  buf[count] = 0;
  if (count == 0 && reader.at_end) return -1;
  return count;
}

bool ReadAnswer(char* buf, int limit) {
  int count = ReadLine(buf, limit);
  if (count < 0) return false;
  if (count > 0 && buf[count - 1] == '\n') buf[count - 1] = 0;
  return true;
}

bool ReadNumber(char* number_text, int* value) {
  bool read = ReadAnswer(number_text, kNumberSize);
  *value = ParseInt(number_text);
  return read;
}

bool Confirm(const char* question) {
  std::puts(question);
  char answer[kNumberSize];
  return ReadAnswer(answer, sizeof answer) && std::strcmp(answer, "y") == 0;
}

int ParseInt(const char* text) {
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = (*text++ == '-');
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*text - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void SetInputFromMemory(const char* data, size_t size) {
  reader.data = data;
  reader.pos = 0;
  reader.len = size;
  reader.from_memory = true;
  reader.at_end = false;
}

void SetInputFromStdin() {
  reader.data = reader.own;
  reader.pos = 0;
  reader.len = 0;
  reader.from_memory = false;
  reader.at_end = false;
}
