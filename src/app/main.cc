// Pellak: a line editor for a plain terminal.
#include "app/loop.h"

int main(int argc, char** argv) { return RunEditor(argc, argv); }
