#include "file/name_answer.h"

#include <cstdio>

#include "core/editor_state.h"
#include "core/input.h"

namespace {

const char kNameTooLong[] = "A file name has at most %i characters; that one was not used\n";

}  // namespace

NameRead ReadNameAnswer(char* name) {
  long ignored = 0;
  switch (ReadAnswerLine(name, kNameSize, true, &ignored)) {
    case AnswerRead::kOk:
      return NameRead::kOk;
    case AnswerRead::kEnd:
      return NameRead::kEnd;
    case AnswerRead::kInterrupted:
      return NameRead::kCancel;
    case AnswerRead::kTooLong:
      break;
  }
  std::printf(kNameTooLong, kNameSize - 1);
  name[0] = 0;
  return NameRead::kTooLong;
}
