#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "core/display.h"

namespace {

// What the screen may show of `text`, worked out by decoding each UTF-8 sequence to its code
// point: a well-formed sequence (shortest form, no surrogate, at most U+10FFFF) is shown as it
// is unless its code point is a control (C0 but the tab, DEL, C1), which is one '?'; a byte that
// begins no well-formed sequence is one '?' when it is 0x80 to 0x9F and itself otherwise.
std::string ReferenceShown(const std::string& text) {
  static const uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  std::string shown;
  for (size_t at = 0; at < text.size();) {
    auto lead = static_cast<unsigned char>(text[at]);
    size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
    uint32_t point = length == 1 ? lead : lead & (0x7F >> length);
    bool formed = length > 0 && at + length <= text.size();
    for (size_t k = 1; formed && k < length; ++k) {
      auto next = static_cast<unsigned char>(text[at + k]);
      formed = (next & 0xC0) == 0x80;
      point = point << 6 | (next & 0x3F);
    }
    formed = formed && point >= kShortest[length] && point <= 0x10FFFF &&
             (point < 0xD800 || point > 0xDFFF);
    if (!formed) {
      shown += lead >= 0x80 && lead <= 0x9F ? '?' : static_cast<char>(lead);
      ++at;
      continue;
    }
    bool control = (point < 0x20 && point != '\t') || (point >= 0x7F && point <= 0x9F);
    shown += control ? std::string("?") : text.substr(at, length);
    at += length;
  }
  return shown;
}

TEST(ShownName, EveryPairOfBytesAsTheReference) {
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      std::string text = {'x', static_cast<char>(first), static_cast<char>(second), 'y'};
      ASSERT_EQ(ShownName(text), ReferenceShown(text)) << first << " " << second;
    }
  }
}

TEST(ShownName, RandomTextAsTheReference) {
  // Bytes at the edges of the controls and of the UTF-8 ranges.
  const unsigned char kBytes[] = {'a', '\t', '\n', 0x1B, 0x7F, 0x80, 0x8F, 0x90, 0x9B, 0x9F, 0xA0,
                                  0xBF, 0xC0, 0xC1, 0xC2, 0xC3, 0xDF, 0xE0, 0xE2, 0xED, 0xEF, 0xF0,
                                  0xF4, 0xF5, 0xFF};
  std::mt19937 random(20);
  for (int round = 0; round < 200000; ++round) {
    std::string text(random() % 10, 0);
    for (char& byte : text) byte = static_cast<char>(kBytes[random() % sizeof kBytes]);
    // Continuation bytes just past the end must not complete a sequence cut short there.
    std::string buffer = text + "\x80\x80\x80";
    ASSERT_EQ(ShownName(std::string_view(buffer).substr(0, text.size())), ReferenceShown(text))
        << testing::PrintToString(text);
  }
}

}  // namespace
