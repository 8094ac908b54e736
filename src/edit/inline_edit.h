// Edits inside one line: insert, cut, copy and paste through the clipboard, trim, clear.
//
// An edit that can be refused is split in two: a check that prints what it shortens or refuses,
// settles the length through its reference argument and returns 1 to go ahead or 0 to refuse,
// and an action that trusts its check.
#pragma once

struct EditorState;

// May `text` be inserted at `column` of `line`? Sets `length` to what fits; 0 refuses.
int CheckInsert(int line, int column, int& length, const char* text, const char* grid);

// Inserts the first `length` characters of `text` at `column`, shifting the rest right.
void Insert(int line, int column, int length, const char* text, char* grid);

// May `count` characters be cut at `column` of `line`? May lower `count`; 0 refuses.
int CheckCut(int line, int column, int& count, const char* grid);

// Removes `count` characters at `column`, shifting the rest left and zeroing what is freed.
void Cut(int line, int column, int count, char* grid);

// May `text` be pasted over a line at `column`? Sets `length` to what fits; 0 refuses.
int CheckPaste(int column, int& length, const char* text);

// Writes the first `length` characters of `text` over `line` from `column` on.
void Paste(int line, int column, int length, const char* text, char* grid);

// May `count` characters be copied from `column` of `line`? May lower `count`; 0 refuses.
int CheckCopy(int line, int column, int& count, const char* grid);

// Handlers of commands (their rows: app/command_table.cc).
void OnNewInsert(EditorState& state);
void OnClipInsert(EditorState& state);
void OnClipPaste(EditorState& state);
void OnClipCut(EditorState& state);
void OnClipCopy(EditorState& state);
void OnTrimEnd(EditorState& state);
void OnTrimWrap(EditorState& state);
void OnLineClear(EditorState& state);
