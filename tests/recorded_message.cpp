#include "tests/recorded_message.h"

namespace {

RecordedMessage shown;

}  // namespace

void ShowMessage(const char* text, MessageKind kind) {
  shown.text = text;
  shown.kind = kind;
  ++shown.count;
}

RecordedMessage TakeMessages() {
  RecordedMessage taken = shown;
  shown = RecordedMessage();
  return taken;
}
