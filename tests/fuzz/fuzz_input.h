// The layout of one fuzzer input: flags, two grid sizes, then the RC text, the document and
// the keystrokes, separated by kSectionMark bytes; without two marks the rest is all keystrokes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fuzz {

inline constexpr char kSectionMark = '\x1e';

// Bits of the flags byte.
inline constexpr uint8_t kWriteRc = 1;        // write the RC section as .pellak_rc
inline constexpr uint8_t kNameDocument = 2;   // give the document name as the program argument
inline constexpr uint8_t kWriteDocument = 4;  // write the document section under that name
inline constexpr uint8_t kSmallGrid = 8;      // put small max_lines / max_char into the RC file
// The high four bits equal to this: check every byte of a large grid at the end (one input in
// sixteen, as reading the whole default grid costs more than most sessions).
inline constexpr uint8_t kCheckWholeGrid = 0x10;
inline constexpr uint8_t kCheckWholeGridMask = 0xf0;

inline constexpr int kSmallLimit = 40;  // small sizes run from 1 to this

// One input taken apart.
struct Input {
  uint8_t flags = 0;
  int small_lines = 1;  // max_lines when kSmallGrid is set
  int small_chars = 1;  // max_char when kSmallGrid is set
  std::string_view rc;
  std::string_view document;
  std::string_view keys;
};

// Splits `data` into its parts; missing parts are empty.
Input SplitInput(const uint8_t* data, size_t size);

}  // namespace fuzz
