#include "config/rc_file.h"

int ReadRC(const CommandNames&, CommandKeys&, char*, int*, int*, int*) { return 0; }
