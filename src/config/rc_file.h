// The RC file ".pellak_rc": command keys and settings, read once at start-up.
#pragma once

#include "core/commands.h"

// Reads the RC file, or writes one with the values in force when it is missing. May change
// the keys, launch_text, the three settings and the grid sizes. Returns 1 when a file was read.
int ReadRC(const CommandNames& command_names, CommandKeys& command_keys, char* launch_text,
           int* anchor_pos, int* show_numbers_on, int* page_length);
