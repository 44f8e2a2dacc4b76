// TORVANE_TRACE=<file>: one line per race frame with the race's number in the
// run, the frame's number in that race and a 64-bit hash of the race state;
// every 25th frame, and the frame that sets an end flag, also a readable line
// of the flags and the vehicles. Respawns and crossings of an armed finish
// line (race_notes.h) get a line of their own after their frame's. Two runs
// of one script write the same file.
#pragma once
#include <cstdint>
#include <cstdio>

// A new race: its frames count from 1.
void RaceTraceBegin();
// After each race frame; nothing without TORVANE_TRACE.
void RaceTraceFrame();
// The hash of the race state as the trace writes it.
uint64_t RaceTraceHash();
// Writes the trace to `file` from now on (null: back to TORVANE_TRACE).
void RaceTraceSetFile(std::FILE* file);
