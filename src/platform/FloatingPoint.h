#pragma once
// The floating-point environment, as the old control word was switched: saved when the
// program starts, all exceptions masked on request, the start-up state restored on
// request. Traps are never unmasked beyond the start-up state: GTK, Mesa and WebKit rely
// on quiet inf and NaN.
namespace vorlane::platform {

// Masks every floating-point exception (no traps).
void MaskFloatingPointExceptions();
// Makes the environment saved at start-up the current one again.
void RestoreStartupFloatingPoint();
// The traps enabled at start-up (an FE_* mask; 0 means all masked).
int StartupFloatingPointTraps();

}  // namespace vorlane::platform
