// Animated scenery: the step routines of the animated object types. Each
// advances the placement's own counter (gObjectCounters) and poses the
// type's shared model for this one placement just before it is drawn; the
// animals and figures call out now and then and cry out when knocked.
// Called with knocked 0 by the draw callbacks, with 1 by the flights of
// knocked objects.
#pragma once
#include <cstdint>

struct DrawSlot;

void DecorAnimAnimal(DrawSlot* slot, void* model, int32_t knocked);
// Also turns the placement by the time step on every call, in every view.
void DecorAnimTurning(DrawSlot* slot, void* model, int32_t knocked);
void DecorAnimFigure(DrawSlot* slot, void* model, int32_t knocked);
void DecorAnimFlag(DrawSlot* slot, void* model, int32_t knocked);

// The sound copies the knock cries (A) and the calls (B) play on next: each
// goes 0, 1, 2, 3, 0 ... after every play and is never reset.
extern int32_t gAnimCopyCounterA;
extern int32_t gAnimCopyCounterB;
