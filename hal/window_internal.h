// Between the window and its input script; not for the game.
#pragma once

// Posts the script's events that are due, and the close message once it has run out.
void HalScriptPoll();
void HalScriptReset();
