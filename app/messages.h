// Telling the user the outcome: one message, captioned "Gridsaw". Each
// platform shows it in its own way (message_posix.cpp, message_win32.cpp).
#pragma once

enum class MessageKind { kError, kInformation };

constexpr const char* kCaption = "Gridsaw";

// Returns once the user has seen the message (on Windows, dismissed the box).
void ShowMessage(const char* text, MessageKind kind);
