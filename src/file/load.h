// Loading a text file into the document grid.
#pragma once

struct EditorState;
struct FileIdentity;

// Whether a load asks first: the open key's load asks for the name (and may save the
// document first); the start-up load of the file named on the command line does not.
enum class LoadMode { kAsk, kNoQuestion };

// Loads the file named by `open_name` into `grid`. With LoadMode::kAsk the open dialog runs
// first and may save the document under `file_name` (last read or written as `known`) or
// change `open_name`. A file that cannot be read as a whole, or a partial load not agreed to,
// leaves the document as it was. Then names what earlier sessions left for the file
// (ReportLeftovers). A file loaded, or a name that does not exist, becomes `file_name`, with
// `known` set to match; when nothing was opened, both stay as they were. Returns true when a
// file replaced the document.
bool Open(LoadMode mode, char* open_name, char* grid, char* file_name, FileIdentity& known);

// Splits the terminated `text` into lines and puts them into `grid` in place of the document,
// with the messages and the question of a load from a file. A partial load not agreed to
// leaves the document as it was.
void ParseLines(const char* text, char* grid);

// Warns that only `percentage` percent of the text fits and asks whether to go on. Returns 0
// when the user answers Y. Otherwise returns 1: a Ctrl-C or a hangup cancels the load, and any
// other answer or end of input refuses it, which sets partial_load_refused for the session to
// end with status 1.
int DataWarning(float percentage);

// Handlers of commands (their rows: app/command_table.cc).
void OnOpen(EditorState& state);
