// Holding back the signals that would end the program while a tile is being
// written, so that an interrupted run never leaves a half-written tile. Each
// platform in its own file: the Windows program has no console to be
// interrupted from, so there both do nothing.
#pragma once

// From here on, an interrupting signal waits.
void HoldInterruptions();
// A signal that waited now acts, with its default action: the program ends
// as the signal asks.
void ReleaseInterruptions();

// Sets up the signals that are never wanted: a message that cannot be
// written (a closed pipe) or a file size limit must show up as a failed
// write, not end the program.
void IgnoreBrokenPipesAndFileSizeLimits();
