#include "app/interruptions.h"

// A GUI program without a console gets no interrupting signals, and writes
// to neither pipes nor size-limited files in ways that raise one.
void HoldInterruptions() {}
void ReleaseInterruptions() {}
void IgnoreBrokenPipesAndFileSizeLimits() {}
