// The main page's value drum: what its arrows change in each category.
#pragma once
#include <cstdint>

// The arrows show except while a championship fixes the track.
bool MenuValueArrowsShown();
// One press of the value drum's arrows (+1 the lower, -1 the upper): the
// shown category's value steps, its label rolls in, and the enter button
// follows.
void MenuStepValue(int32_t step);
