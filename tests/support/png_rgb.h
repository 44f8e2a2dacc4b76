// Screens as 8-bit RGB pictures, stored as PNG for the reference-image tests,
// and the one switch that has those tests rewrite their pictures.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// RGB 565 pixels as 8-bit RGB, each channel widened by repeating its top bits.
std::vector<uint8_t> Rgb565ToRgb(const std::vector<uint16_t>& pixels);
bool WritePng(const std::string& path, const std::vector<uint8_t>& rgb, int32_t w, int32_t h);
bool ReadPng(const std::string& path, std::vector<uint8_t>* rgb, uint32_t* w, uint32_t* h);

// True when TORVANE_UPDATE_REFERENCES is set to anything but "" or "0": every
// reference-image test then rewrites its stored pictures in the source tree
// instead of comparing with them (scripts/update-references.sh runs them all).
bool UpdatingReferences();

// Compares a drawn picture with the stored one at `reference`: "" when every
// pixel is the same, else what differs (the drawn picture is then written to
// `actual`). While UpdatingReferences() it rewrites the stored picture instead
// and says so only when that fails.
std::string MatchReferencePicture(const std::vector<uint8_t>& rgb, int32_t w, int32_t h, const std::string& reference,
                                  const std::string& actual);
