#include "core/display.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/grid.h"

namespace {

// Writes `count` bytes of `text` to standard output.
void Put(const char* text, size_t count) { fwrite_unlocked(text, 1, count, stdout); }
void Put(const char* text) { Put(text, std::strlen(text)); }

// True for the single bytes a terminal takes as controls: 0x00 to 0x1F but the tab, and 0x7F.
constexpr std::array<bool, 128> kControl = [] {
  std::array<bool, 128> table = {};
  for (size_t byte = 0; byte < 0x20; ++byte) table[byte] = byte != '\t';
  table[0x7F] = true;
  return table;
}();

// What a run of control bytes is shown as, a block at a time.
constexpr char kMarks[] = "????????????????????????????????????????????????????????????????";

// Returns true when `byte` lies within [low, high].
constexpr bool Within(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

// Returns the length (2 to 4) of the well-formed UTF-8 sequence that starts at `at` and ends by
// `end`, or 0 when the bytes there form none (a stray or missing continuation byte, an
// overlong form, a surrogate, a code point past U+10FFFF).
size_t SequenceLength(const unsigned char* at, const unsigned char* end) {
  unsigned char lead = at[0];
  size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
  if (length == 0 || static_cast<size_t>(end - at) < length) return 0;
  // The second byte's range depends on the lead; every later byte is a plain continuation.
  unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (!Within(at[1], low, high)) return 0;
  for (size_t i = 2; i < length; ++i)
    if (!Within(at[i], 0x80, 0xBF)) return 0;
  return length;
}

// Hands `count` bytes of `text` to `put` (called with a pointer and a length) as the screen
// shows them: a C0 control or DEL, a byte 0x80 to 0x9F outside a well-formed UTF-8 sequence
// and the two-byte encoding of a C1 control (U+0080 to U+009F) each become one '?'; every
// other byte, well-formed UTF-8 included, is handed on as it is.
template <typename Sink>
void ShowBytes(const char* text, size_t count, Sink put) {
  const auto* at = reinterpret_cast<const unsigned char*>(text);
  const auto* end = at + count;
  const auto* run = at;  // start of the bytes handed on as they are
  size_t marks = 0;      // controls met since then, shown before the run
  auto flush = [&put, &marks](const unsigned char* from, const unsigned char* to) {
    for (size_t block; marks > 0; marks -= block) {
      block = std::min(marks, sizeof kMarks - 1);
      put(kMarks, block);
    }
    put(reinterpret_cast<const char*>(from), static_cast<size_t>(to - from));
  };
  while (at < end) {
    size_t length = 1;
    bool control;
    if (*at < 0x80) {
      control = kControl[*at];
    } else if ((length = SequenceLength(at, end)) != 0) {
      control = at[0] == 0xC2 && at[1] < 0xA0;
    } else {
      length = 1;
      control = *at < 0xA0;
    }
    if (control) {
      if (at > run) flush(run, at);
      ++marks;
      run = at + length;
    }
    at += length;
  }
  flush(run, at);
}

// Formats `value` in decimal into `out` (at least 12 bytes); returns its length.
int FormatInt(int value, char* out) {
  char digits[12];
  int count = 0;
  long magnitude = value < 0 ? -static_cast<long>(value) : value;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude > 0);
  int length = 0;
  if (value < 0) out[length++] = '-';
  while (count > 0) out[length++] = digits[--count];
  return length;
}

}  // namespace

void PutVisible(const char* text, size_t count) {
  ShowBytes(text, count, [](const char* part, size_t size) { Put(part, size); });
}

std::string ShownName(std::string_view name) {
  std::string shown;
  ShowBytes(name.data(), name.size(),
            [&shown](const char* part, size_t size) { shown.append(part, size); });
  return shown;
}

void PrintError(const char* format, ...) {
  std::fflush(stdout);  // a screen that is gone is dealt with where output goes on
  va_list values;
  va_start(values, format);
  static_cast<void>(std::vfprintf(stderr, format, values));
  va_end(values);
}

void Display(int line, int column, int above, const char* grid, int numbers, const char* name) {
  char number[12];
  Put("\nEditing ");
  Put(number, static_cast<size_t>(FormatInt(line + 1, number)));
  Put(":");
  Put(number, static_cast<size_t>(FormatInt(column + 1, number)));
  Put(" ");
  PutVisible(name, std::strlen(name));
  Put("\n\n");

  bool with_numbers = numbers == 1;
  char label[20] = "[";
  int label_length = 1 + FormatInt(line + 1, label + 1);
  label[label_length++] = ']';
  label[label_length++] = ' ';

  int first = line - above;
  if (first < 0) first = 0;
  if (first >= lines) first = lines - 1;
  for (int i = first; i < lines && i - first <= above; ++i) {
    const char* slot = SlotOf(i, grid);
    size_t shown = static_cast<size_t>(CharsFrom(slot, column));
    const char* text = slot + column;
    if (i == line) {
      if (with_numbers) Put(label, static_cast<size_t>(label_length));
      else Put(shown ? "> " : ">");
    } else if (with_numbers) {
      Put(" ");
      Put(number, static_cast<size_t>(FormatInt(i + 1, number)));
      if (shown) Put("  ");
    } else if (shown) {
      Put("  ");
    }
    PutVisible(text, shown);
    Put("\n");
  }

  // The prompt puts the first typed character under the current line's character at the cursor.
  int width = with_numbers ? label_length : 2;
  for (int i = 0; i < width - 2; ++i) Put(" ");
  Put("> ");
}
