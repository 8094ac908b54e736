#include "core/display.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "core/grid.h"

namespace {

// Writes `count` bytes of `text` to standard output.
void Put(const char* text, size_t count) { fwrite_unlocked(text, 1, count, stdout); }
void Put(const char* text) { Put(text, std::strlen(text)); }

// True for the bytes a terminal takes as controls: 0x00 to 0x1F but the tab, and 0x7F.
constexpr std::array<bool, 256> kControl = [] {
  std::array<bool, 256> table = {};
  for (size_t byte = 0; byte < 0x20; ++byte) table[byte] = byte != '\t';
  table[0x7F] = true;
  return table;
}();

// What a run of control bytes is shown as, a block at a time.
constexpr char kMarks[] = "????????????????????????????????????????????????????????????????";

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
  const char* end = text + count;
  while (text < end) {
    const char* run = text;
    while (text < end && !kControl[static_cast<unsigned char>(*text)]) ++text;
    Put(run, static_cast<size_t>(text - run));
    run = text;
    while (text < end && kControl[static_cast<unsigned char>(*text)]) ++text;
    for (size_t marks = static_cast<size_t>(text - run); marks > 0;) {
      size_t block = marks < sizeof kMarks - 1 ? marks : sizeof kMarks - 1;
      Put(kMarks, block);
      marks -= block;
    }
  }
}

std::string ShownName(const char* name) {
  std::string shown = name;
  for (char& byte : shown)
    if (kControl[static_cast<unsigned char>(byte)]) byte = '?';
  return shown;
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
