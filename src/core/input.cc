#include "core/input.h"

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "core/process.h"

namespace {

constexpr size_t kChunk = 1 << 16;

const char kIgnored[] =
    "An answer here takes at most %i characters; the %li after them were ignored\n";

struct Reader {
  char own[kChunk];
  const char* data = own;
  size_t pos = 0;
  size_t len = 0;
  bool from_memory = false;
  bool at_end = false;
  bool line_start = true;  // the next byte begins an input line
  bool continues = false;  // the last read continued a line
  int last = 0;            // what the last ReadLine returned
  int error = 0;           // errno of a failed read
  int terminal = -1;       // whether standard input is a terminal; -1 until asked
};

Reader reader;

// Returns true when a read of standard input would not have to wait.
bool InputReady() {
  pollfd fd = {STDIN_FILENO, POLLIN, 0};
  return poll(&fd, 1, 0) > 0;
}

// Returns true when standard input is a terminal that has been hung up (its window closed).
bool TerminalGone() {
  pollfd fd = {STDIN_FILENO, POLLIN, 0};
  return InputIsTerminal() && poll(&fd, 1, 0) > 0 && (fd.revents & POLLHUP) != 0;
}

// Refills the buffer from standard input. Returns 0, kReadEnd at end of input or on a read
// error, or kReadInterrupted when a signal is to be acted on. Output is flushed only when the
// read would wait, so a person sees the prompt while a piped script costs no write per turn.
int Refill() {
  if (reader.at_end || reader.from_memory) {
    reader.at_end = true;
    return kReadEnd;
  }
  if (!InputReady()) std::fflush(stdout);
  for (;;) {
    if (StopSignal() || InterruptPending()) return kReadInterrupted;
    if (!WaitForInput(STDIN_FILENO)) continue;  // a signal: the flags say which
    ssize_t got = read(STDIN_FILENO, reader.own, kChunk);
    if (got > 0) {
      reader.data = reader.own;
      reader.pos = 0;
      reader.len = static_cast<size_t>(got);
      return 0;
    }
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    // A closed terminal reads as its end, and the hangup signal may go to another process.
    if (got <= 0 && TerminalGone()) {
      RecordHangup();
      return kReadInterrupted;
    }
    if (got < 0) reader.error = errno;
    // At a terminal end of input is one Ctrl-D: a later read waits for the user again.
    if (got < 0 || !InputIsTerminal()) reader.at_end = true;
    return kReadEnd;
  }
}

// Returns the next input byte without taking it, or -1 when there is none.
int PeekByte() {
  if (reader.pos == reader.len && Refill() != 0) return -1;
  return static_cast<unsigned char>(reader.data[reader.pos]);
}

}  // namespace

int ReadLine(char* buf, int limit) {
  int count = 0;
  int stop = 0;
  buf[0] = 0;
  reader.continues = !reader.line_start;
  if (limit < 2) return reader.last = (reader.at_end ? kReadEnd : 0);
  if (StopSignal() || InterruptPending()) stop = kReadInterrupted;
  while (stop == 0 && count < limit - 1) {
    if (reader.pos == reader.len && (stop = Refill()) != 0) break;
    char c = reader.data[reader.pos++];
    buf[count++] = c;
    if (c == '\n') break;
  }
  buf[count] = 0;
  if (count > 0) {
    reader.line_start = buf[count - 1] == '\n';
    return reader.last = count;
  }
  if (stop == kReadInterrupted && !StopSignal()) (void)TakeInterrupt();
  return reader.last = stop;
}

bool ReadContinuesLine() { return reader.continues; }

bool AtEndOfInput() { return reader.last == kReadEnd; }

int InputError() { return reader.error; }

bool InputIsTerminal() {
  if (reader.terminal < 0) reader.terminal = isatty(STDIN_FILENO) ? 1 : 0;
  return reader.terminal == 1 && !reader.from_memory;
}

AnswerRead ReadAnswerLine(char* buf, int limit, bool whole, long* ignored) {
  *ignored = 0;
  int count = ReadLine(buf, limit);
  if (count == kReadInterrupted) return AnswerRead::kInterrupted;
  if (count < 0) return AnswerRead::kEnd;
  if (count > 0 && buf[count - 1] == '\n') {
    buf[count - 1] = 0;
    return AnswerRead::kOk;
  }
  if (count < limit - 1) return AnswerRead::kOk;  // the last line of input, without newline
  int next = PeekByte();
  if (next < 0) return AnswerRead::kOk;
  if (next == '\n') {
    if (whole) {
      ++reader.pos;
      reader.line_start = true;
    }
    return AnswerRead::kOk;
  }
  char rest[256];
  int got;
  while ((got = ReadLine(rest, sizeof rest)) > 0) {
    bool ended = rest[got - 1] == '\n';
    *ignored += ended ? got - 1 : got;
    if (ended) break;
  }
  return AnswerRead::kTooLong;
}

bool ReadAnswer(char* buf, int limit) {
  long ignored = 0;
  AnswerRead read = ReadAnswerLine(buf, limit, false, &ignored);
  if (read == AnswerRead::kTooLong) std::printf(kIgnored, limit - 1, ignored);
  return read == AnswerRead::kOk || read == AnswerRead::kTooLong;
}

bool ReadMenuAnswer(char* buf, int limit) {
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
  reader.line_start = true;
  reader.error = 0;
}

void SetInputFromStdin() {
  reader.data = reader.own;
  reader.pos = 0;
  reader.len = 0;
  reader.from_memory = false;
  reader.at_end = false;
  reader.line_start = true;
  reader.error = 0;
}
