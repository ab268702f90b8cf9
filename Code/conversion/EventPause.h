#pragma once

// Waits `milliseconds` while the windows keep receiving their events (input, timers, paints).
// A length of 0 or less only processes the events that are pending.
void PauseProcessingEvents(int milliseconds);
