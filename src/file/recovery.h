// The recovery file: where unsaved work goes when the editor is hung up on or terminated.
#pragma once

#include <string>

// Writes the document of `grid` in the file format to a new file named after `file_name` (or
// "pellak" without a name) with ".hup" on the end: NAME.hup, else NAME.1.hup up to NAME.99.hup,
// so no existing file is written over. It goes into the directory of `file_name` (the working
// directory without a name), else into $HOME. Returns the path written, or an empty string
// with the last failure's reason in *reason.
std::string WriteRecoveryFile(const char* file_name, const char* grid, std::string* reason);
