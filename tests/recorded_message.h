// The tests' way of showing a message: they keep it to check it.
#pragma once

#include <string>

#include "app/messages.h"

struct RecordedMessage {
  std::string text;
  MessageKind kind = MessageKind::kInformation;
  int count = 0;
};

// Every message shown since the last call, and forgets them.
RecordedMessage TakeMessages();
