// Wedge and delete, with typing and moves in between, against the literal whole-grid versions
// on random documents: the same bytes, and every slot sound, after every step. Then what the
// edits tell about unsaved changes, and where a search stops.
#include "edit/line_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/editor_state.h"
#include "core/navigation.h"
#include "edit/inline_edit.h"
#include "edit/undo.h"
#include "test_grid.h"

namespace {

// The literal wedge: every slot from `line` to the second last moves down one, counting down.
void LiteralWedge(int line, char* grid) {
  for (int i = lines - 2; i >= line; --i)
    std::memcpy(SlotOf(i + 1, grid), SlotOf(i, grid), static_cast<size_t>(lsize));
  Clear(line, grid);
}

// The literal delete: every slot behind `line` moves up one, counting up; the last is cleared.
void LiteralDelete(int line, char* grid) {
  for (int i = line; i <= lines - 2; ++i)
    std::memcpy(SlotOf(i, grid), SlotOf(i + 1, grid), static_cast<size_t>(lsize));
  Clear(lines - 1, grid);
}

// The plain typing rule: refused in the last column, else spaces up to the column and the text
// over the old one, cut to lsize-1 characters.
void LiteralReplace(int line, int column, const std::string& text, char* grid) {
  std::string now = SlotOf(line, grid);
  if (column >= lsize - 1) return;
  size_t at = static_cast<size_t>(column);
  now.resize(std::max(now.size(), at), ' ');
  now.replace(at, std::min(text.size(), now.size() - at), text);
  now.resize(std::min(now.size(), static_cast<size_t>(lsize - 1)));
  std::memcpy(SlotOf(line, grid), now.c_str(), now.size() + 1);
}

// Returns a random text of 1 to lsize-1 letters.
std::string RandomText(std::mt19937& random) {
  std::string text(std::uniform_int_distribution<int>(1, lsize - 1)(random), 'a');
  for (char& c : text) c = static_cast<char>('a' + random() % 26);
  return text;
}

TEST(WedgeAndDelete, MatchTheWholeGridShiftsOnRandomDocuments) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 300; ++round) {
    TestGrid g(1 + static_cast<int>(random() % 9), 2 + static_cast<int>(random() % 7));
    std::vector<char> literal(g.data(), g.data() + static_cast<size_t>(lines) * lsize);
    // Sparse random documents; about a third of them with text in the last slot.
    for (int i = 0; i < lines; ++i) {
      if ((i < lines - 1 || round % 3) && random() % 3) continue;
      std::string text = RandomText(random);
      g.Set(i, text);
      std::memcpy(SlotOf(i, literal.data()), text.c_str(), text.size());
    }
    for (int step = 0; step < 40; ++step) {
      int line = static_cast<int>(random() % static_cast<unsigned>(lines));
      int source = static_cast<int>(random() % static_cast<unsigned>(lines));
      std::string text = RandomText(random);
      switch (random() % 6) {
        case 0: case 1:
          Wedge(line, g.data());
          LiteralWedge(line, literal.data());
          break;
        case 2: case 3:
          Delete(line, g.data());
          LiteralDelete(line, literal.data());
          break;
        case 4: {  // typing, or its space fill alone, raises the bound anywhere, the last slot too
          int column = static_cast<int>(random() % static_cast<unsigned>(lsize - step % 2));
          if (step % 2) SpaceFill(line, column, g.data()), text.clear();
          else Replace(line, column, lines, text.c_str(), g.data());
          LiteralReplace(line, column, text, literal.data());
          break;
        }
        case 5:
          Move(source, line, g.data());
          Move(source, line, literal.data());
          break;
      }
      ASSERT_EQ(std::memcmp(g.data(), literal.data(), literal.size()), 0)
          << "round " << round << " step " << step;
      ASSERT_TRUE(g.Sound()) << "round " << round << " step " << step;
    }
  }
}

// Each edit that changes a slot leaves unsaved changes behind (a hangup then keeps the work);
// wedging past the text changes nothing and leaves none.
TEST(Edits, TellWhenTheDocumentChanged) {
  TestGrid g(4, 8);
  g.Set(0, "abc"), g.Set(1, "d");
  auto leaves_changes = [](auto edit) { unsaved_changes = false; edit(); return unsaved_changes; };
  EXPECT_FALSE(leaves_changes([&] { Wedge(2, g.data()); }));
  EXPECT_TRUE(leaves_changes([&] { Insert(0, 1, 1, "x", g.data()); }));
  EXPECT_TRUE(leaves_changes([&] { Paste(0, 0, 1, "y", g.data()); }));
  EXPECT_TRUE(leaves_changes([&] { Cut(0, 0, 1, g.data()); }));
  EXPECT_TRUE(leaves_changes([&] { Copy(0, 1, g.data()); }));
  EXPECT_TRUE(leaves_changes([&] { RecallUndo(1, "old\0\0\0\0", g.data()); }));
}

// A search and the document's length end at the last slot: 'G' fills the guard slot behind it.
TEST(WholeDocument, EndsAtTheLastSlot) {
  TestGrid g(2, 4);
  g.Set(1, "x");
  int line = 0, column = 0;
  EXPECT_FALSE(FindInDocument("G", 0, g.data(), &line, &column));
  EXPECT_EQ(DocLength(g.data()), 1);
}

}  // namespace
