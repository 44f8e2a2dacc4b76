// What the race file targets share: the pool, the world pools and the tables
// set up once, quietly.
#pragma once
#include "engine3d/mesh.h"
#include <cstdlib>

#include "platform/fatal.h"
#include "platform/mem.h"
#include "shell/game.h"

// The shell's quit, which these targets leave out: the front end quits
// through it, and a race loader that cannot go on through the quit hook.
void GameQuit() { std::abort(); }

inline void RaceFuzzSetUp() {
  static bool ready = false;
  if (ready) return;
  MemSetErrorHooks([](const char*) {}, [](int32_t) {});
  GameSetShowNumberHook([](int32_t) {});
  GameSetQuitHook([] { std::abort(); });
  MemPoolInit();
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  DrawListAllocStatic(DRAW_LIST_STATIC);
  DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
  ready = true;
}
