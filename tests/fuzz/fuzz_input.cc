#include "fuzz_input.h"

namespace fuzz {

namespace {

// Takes the text up to the next section mark off the front of `rest` and returns it.
std::string_view TakeSection(std::string_view& rest) {
  size_t mark = rest.find(kSectionMark);
  std::string_view section = rest.substr(0, mark);
  rest = mark == std::string_view::npos ? std::string_view() : rest.substr(mark + 1);
  return section;
}

}  // namespace

Input SplitInput(const uint8_t* data, size_t size) {
  Input input;
  if (size < 3) return input;
  input.flags = data[0];
  input.small_lines = 1 + data[1] % kSmallLimit;
  input.small_chars = 1 + data[2] % kSmallLimit;
  std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
  // Without two section marks the whole rest is keystrokes.
  size_t first = rest.find(kSectionMark);
  if (first == std::string_view::npos || rest.find(kSectionMark, first + 1) == std::string_view::npos) {
    input.keys = rest;
    return input;
  }
  input.rc = TakeSection(rest);
  input.document = TakeSection(rest);
  input.keys = rest;
  return input;
}

}  // namespace fuzz
