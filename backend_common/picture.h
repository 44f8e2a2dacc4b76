// Full-screen pictures written straight into the frame (.qvr files), screen
// grabs, and screenshots as 24-bit BMP files. The .qvr reader and the scaling
// are shared (picture_common.cpp); the frame access is each back end's own.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

constexpr uint32_t QVR_HEADER_SIZE = 4;
constexpr uint32_t SCREENSHOT_HEADER_SIZE = 56;

// A picture of the screen's size, RGB555, rows from the top; free with MemFree.
uint16_t* LfbLoadScreenImage(const char* fileName);
void LfbDrawScreenImage(const uint16_t* picture);
void LfbSaveScreenshot(const char* path, int32_t width, int32_t height);
void LfbSaveScreenshotQuarter(const char* path, int32_t width, int32_t height);
void LfbGrabScreen(uint16_t* buffer);
uint16_t* LfbGrabScreenScaled(int32_t width, int32_t height);
// Loaders no game code calls, each back end's own under its own names. The
// software back end's: a copy of a .qvr picture's pixels at its own size,
// and a 256-colour picture scaled to the screen.
uint16_t* LfbLoadImagePixels(const char* fileName);
uint16_t* LfbLoadIndexedImage(const char* fileName);
// The OpenGL back end's: a .qvr picture's pixels, unscaled, one after another
// into the picture it holds (a block of the picture's size stands for it),
// and a 256-colour picture scaled to the screen.
uint16_t* LfbLoadScreenImageUnscaled(const char* fileName);
uint16_t* LfbLoadPalettedImage(const char* fileName);
// Blanks the picture a back end holds apart from the blocks it hands out;
// nothing where pictures live in their blocks.
void LfbClearWorkSurface();

// Nearest-pixel scaling in 16.16 fixed point, as every picture is fitted to
// the screen. `convert` is applied to each pixel on the way.
void LfbScalePixels(const uint16_t* source, int32_t sourceWidth, int32_t sourceHeight, uint16_t* target,
                    int32_t targetWidth, int32_t targetHeight, uint16_t (*convert)(uint16_t));
// The pixels of a .qvr image whose header the file's length backs up.
bool LfbParseQvr(const uint8_t* file, uint32_t size, int32_t* width, int32_t* height, std::vector<uint16_t>* pixels);

// Writes a screenshot of the screen's top-left width x height pixels as a
// 24-bit BMP file, bottom row first, taking every step-th row and column
// (the file is width / step x height / step). `readRow` fills one screen row
// (width pixels) of 16-bit pixels, 5-6-5 when `rgb565`, else 5-5-5. The folder
// is made when missing and the file is saved whole; false when it can't be.
bool LfbWriteScreenshot(const char* path, int32_t width, int32_t height, int32_t step, bool rgb565,
                        const std::function<void(int32_t y, uint16_t* row)>& readRow);
