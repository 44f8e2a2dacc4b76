#include "launcher/message.h"

#include <SDL.h>

#include <cstdio>

#include "hal/window.h"

void LauncherMessageBox(const char* caption, const char* text, const char* button) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  if (HalIsHeadless()) return;
  SDL_MessageBoxButtonData buttons[1] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, button}};
  SDL_MessageBoxData data{SDL_MESSAGEBOX_ERROR, nullptr, caption, text, 1, buttons, nullptr};
  int pressed = 0;
  SDL_ShowMessageBox(&data, &pressed);  // no display: standard error has it
}
