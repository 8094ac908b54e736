#include "core/editor_state.h"

bool unsaved_changes = false;
bool last_save_failed = false;
bool partial_load_refused = false;
