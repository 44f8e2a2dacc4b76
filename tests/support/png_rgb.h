// Screens as 8-bit RGB pictures, stored as PNG for the reference-image tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// RGB 565 pixels as 8-bit RGB, each channel widened by repeating its top bits.
std::vector<uint8_t> Rgb565ToRgb(const std::vector<uint16_t>& pixels);
bool WritePng(const std::string& path, const std::vector<uint8_t>& rgb, int32_t w, int32_t h);
bool ReadPng(const std::string& path, std::vector<uint8_t>* rgb, uint32_t* w, uint32_t* h);
