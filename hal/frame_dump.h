// Frames written to disk as they are shown, for whole-program tests and for a
// look at a headless run: TORVANE_DUMP_FRAMES=<folder> writes frames as
// <folder>/frameNNNNN.ppm: those listed in TORVANE_DUMP_AT ("2,60"), or the
// first ten. Every presenter calls these after HalNoteFrame, asking first so
// that it reads its pixels back only for a frame that is written.
#pragma once
#include <cstdint>

// True when the frame just counted (HalFrameCount) is to be written.
bool HalFrameDumpWanted();

// Writes 16-bit pixels (5-6-5, or 5-5-5 when rgb565 is false; rows pitchBytes
// apart, the first row at the top) as the current frame's file.
void HalFrameDumpWrite(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitchBytes,
                       bool rgb565);
