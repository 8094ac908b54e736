// Files an earlier session or an unfinished save left for a document, named when the document
// is loaded or saved so that the work they hold is found again.
#pragma once

// Prints one line for each file of the user's kept for the document `file_name` ("" for the
// document without a name, whose recovery file is pellak.hup) in the kept places (see
// file/recovery.h) that this session has not named yet: a recovery file, a copy of old content
// kept by an in-place save, a temporary file of a replacing save. Each line says what the file
// holds, when it was written and what to do with it. Nothing is changed or removed, and nothing
// is printed when there is nothing to name.
void ReportLeftovers(const char* file_name);
