#include <SDL.h>
#include <strings.h>

#include <cctype>
#include <string>

#include "hal/window.h"

uint32_t HalVirtualKeyFromSdl(int32_t key, int32_t scancode) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<uint32_t>('A' + (key - SDLK_a));
  // Digit keys by position: on layouts where the top row types symbols first
  // the key is still the digit key.
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
    return static_cast<uint32_t>('1' + (scancode - SDL_SCANCODE_1));
  if (scancode == SDL_SCANCODE_0) return '0';
  if (key >= SDLK_F1 && key <= SDLK_F12) return HAL_VK_F1 + static_cast<uint32_t>(key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return HAL_VK_NUMPAD0 + 1 + static_cast<uint32_t>(key - SDLK_KP_1);
  switch (key) {
    case SDLK_KP_0: return HAL_VK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return HAL_VK_MULTIPLY;
    case SDLK_KP_PLUS: return HAL_VK_ADD;
    case SDLK_KP_MINUS: return HAL_VK_SUBTRACT;
    case SDLK_KP_DIVIDE: return HAL_VK_DIVIDE;
    case SDLK_KP_PERIOD: return HAL_VK_DECIMAL;
    case SDLK_KP_ENTER:
    case SDLK_RETURN: return HAL_VK_RETURN;
    case SDLK_BACKSPACE: return HAL_VK_BACK;
    case SDLK_TAB: return HAL_VK_TAB;
    case SDLK_ESCAPE: return HAL_VK_ESCAPE;
    case SDLK_SPACE: return HAL_VK_SPACE;
    case SDLK_CAPSLOCK: return HAL_VK_CAPITAL;
    case SDLK_PAGEUP: return HAL_VK_PRIOR;
    case SDLK_PAGEDOWN: return HAL_VK_NEXT;
    case SDLK_END: return HAL_VK_END;
    case SDLK_HOME: return HAL_VK_HOME;
    case SDLK_LEFT: return HAL_VK_LEFT;
    case SDLK_UP: return HAL_VK_UP;
    case SDLK_RIGHT: return HAL_VK_RIGHT;
    case SDLK_DOWN: return HAL_VK_DOWN;
    case SDLK_INSERT: return HAL_VK_INSERT;
    case SDLK_DELETE: return HAL_VK_DELETE;
    case SDLK_NUMLOCKCLEAR: return HAL_VK_NUMLOCK;
    case SDLK_PAUSE: return HAL_VK_PAUSE;
    // The game's key handling reads the generic Shift and Ctrl codes.
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return HAL_VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return HAL_VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return HAL_VK_MENU;
    default: break;
  }
  switch (scancode) {
    case SDL_SCANCODE_SEMICOLON: return HAL_VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return HAL_VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return HAL_VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return HAL_VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return HAL_VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return HAL_VK_OEM_2;
    case SDL_SCANCODE_GRAVE: return HAL_VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET: return HAL_VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH: return HAL_VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return HAL_VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return HAL_VK_OEM_7;
    case SDL_SCANCODE_NONUSBACKSLASH: return HAL_VK_OEM_102;
    default: return 0;
  }
}

uint32_t HalVirtualKeyFromName(const std::string& name) {
  if (name.size() == 1) {
    unsigned char c = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(name[0])));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return 0;
  }
  if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
    char* end = nullptr;
    unsigned long v = std::strtoul(name.c_str() + 2, &end, 16);
    return (*end == '\0' && v > 0 && v < 256) ? static_cast<uint32_t>(v) : 0;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
    char* end = nullptr;
    unsigned long n = std::strtoul(name.c_str() + 1, &end, 10);
    if (*end == '\0' && n >= 1 && n <= 12) return HAL_VK_F1 + static_cast<uint32_t>(n - 1);
  }
  static const struct { const char* name; uint32_t vk; } kNames[] = {
      {"ESC", HAL_VK_ESCAPE},     {"ENTER", HAL_VK_RETURN},  {"SPACE", HAL_VK_SPACE},
      {"TAB", HAL_VK_TAB},        {"BACKSPACE", HAL_VK_BACK}, {"SHIFT", HAL_VK_SHIFT},
      {"CTRL", HAL_VK_CONTROL},   {"ALT", HAL_VK_MENU},      {"LEFT", HAL_VK_LEFT},
      {"RIGHT", HAL_VK_RIGHT},    {"UP", HAL_VK_UP},         {"DOWN", HAL_VK_DOWN},
      {"PGUP", HAL_VK_PRIOR},     {"PGDN", HAL_VK_NEXT},     {"HOME", HAL_VK_HOME},
      {"END", HAL_VK_END},        {"INSERT", HAL_VK_INSERT}, {"DELETE", HAL_VK_DELETE},
      {"CAPSLOCK", HAL_VK_CAPITAL}, {"NUMLOCK", HAL_VK_NUMLOCK},
  };
  for (const auto& k : kNames)
    if (::strcasecmp(k.name, name.c_str()) == 0) return k.vk;
  return 0;
}
