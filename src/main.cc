// Pellak: a line editor for a plain terminal.
#include "core/loop.h"

int main(int argc, char** argv) { return RunEditor(argc, argv); }
