// Telling the user the outcome: one message, captioned "Gridsaw". Each
// platform shows it in its own way (message_posix.cpp, message_win32.cpp).
#pragma once

enum class MessageKind { kError, kInformation };

constexpr const char* kCaption = "Gridsaw";

constexpr const char* kCannotOpenMap = "Error: cannot open .map file!";
constexpr const char* kCannotReadMap = "Error: cannot read .map file!";
constexpr const char* kCannotOpenSource = "Error: cannot open source bitmap!";
constexpr const char* kNotSixteenColours = "Error: source bitmap is not a 16-colour BMP!";
constexpr const char* kCannotReadSource = "Error: cannot read source bitmap!";
constexpr const char* kCannotOpenTile = "Error: cannot open output bitmap!";
constexpr const char* kCannotWriteTile = "Error: cannot write output bitmap!";
constexpr const char* kNotEnoughMemory = "Error: not enough memory!";
constexpr const char* kConverted = "Map has been converted to tiles.";

// Returns once the user has seen the message (on Windows, dismissed the box).
void ShowMessage(const char* text, MessageKind kind);
