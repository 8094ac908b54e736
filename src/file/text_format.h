// The text format of a saved document, shared by the save and the recovery file: lines 0 to
// DocLength of the grid, each followed by one newline.
#pragma once

#include <cstddef>

// Returns the size in bytes of the text file of lines 0 to DocLength of `grid`.
size_t DocumentSize(const char* grid);

// Writes the text file of lines 0 to DocLength of `grid` to `fd` through a fixed-size buffer,
// so the memory it takes does not grow with the document or the line size. Returns false on a
// write error, with errno set.
bool WriteDocument(int fd, const char* grid);
