// The RC file ".pellak_rc": command keys and settings, read once at start-up.
#pragma once

#include "core/commands.h"

// The RC file's name, relative to the working directory.
inline constexpr char kRcFileName[] = ".pellak_rc";

// Reads the RC file, or writes one with the values in force when it is missing. A file that is
// not regular, is larger than 1 MiB, belongs to another user than the running one or root, or
// that every user may write is not read: a line says why and nothing changes. May change the
// keys, launch_text, the three settings and the grid sizes; a launch_command longer than
// launch_text holds is not used, with a line saying so. Returns 1 when a file was read, 0
// otherwise. Ends the process with status 1 when max_char leaves no room for a line.
int ReadRC(const CommandNames& command_names, CommandKeys& command_keys, char* launch_text,
           int* anchor_pos, int* show_numbers_on, int* page_length);

// Writes the default RC file `file_name` from the keys in force and the grid sizes, as a new file
// (mode 0666 under the umask) only where no file or link of that name exists; prints a line
// with the reason when it cannot be written.
void MakeRC(const CommandNames& command_names, const CommandKeys& command_keys,
            const char* file_name);
