// The main page's drums and icon bar drawn on the kit's menu data as the
// menus draw them, on whichever back end the suite links; each suite reads
// its own back buffer. The stored pictures are the software back end's.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A part of the 640 x 480 screen, its edges on the comparison's 8 x 8 tiles.
struct MenuFrameRect {
  int32_t x, y, w, h;
};
// The two drums with their rings' reach; the icon bar with the pointer below it.
constexpr MenuFrameRect MENU_DRUMS_RECT = {144, 200, 384, 184};
constexpr MenuFrameRect MENU_ICON_BAR_RECT = {0, 0, 640, 96};

std::string MenuFramePath(const char* name);  // beside the test's source
std::string MenuFrameActualPath(const char* name);  // beside the test program

// Writes the kit's menu files into `folder`, goes there, and enters the menu
// scene on the open 640 x 480 display: the menu textures, the ring, the
// models, the background "menu1.qvr", camera, light and projection scale.
// False when the kit could not be written.
bool MenuFramesEnter(const std::string& folder);
void MenuFramesLeave();
// The category drum rolls from the saves category to the track's, the value
// drum from "load" to the first track, frame by frame at a time step of 1
// (25 frames a second) over the background; returns whether every character
// stands on its target after `frames` frames.
bool MenuFramesRollDrums(int frames);
// The icon bar with the cursor over `slot`, over the background.
void MenuFramesIconBar(int32_t slot);
// The screen's pixels in `rect` as 8-bit RGB, from a whole-screen RGB picture.
std::vector<uint8_t> MenuFrameCut(const std::vector<uint8_t>& screen, const MenuFrameRect& rect);
