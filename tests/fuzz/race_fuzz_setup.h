// What the race file targets share: the pool, the world pools and the tables
// set up once, quietly.
#pragma once
#include "engine3d/mesh.h"
#include <cstdlib>

#include "platform/mem.h"
#include "shell/game.h"

// The shell's calls from below, which these targets leave out: the front end
// and the race loaders quit through it, and a failed free shows its number.
void GameQuit() { std::abort(); }
void GameShowNumber(int32_t) {}

inline void RaceFuzzSetUp() {
  static bool ready = false;
  if (ready) return;
  MemSetErrorHooks([](const char*) {}, [](int32_t) {});
  MemPoolInit();
  MeshPoolAllocVertices(MESH_POOL_VERTICES);
  MeshPoolAllocFaces(MESH_POOL_FACES);
  DrawListAllocStatic(DRAW_LIST_STATIC);
  DrawListAllocDynamic(DRAW_LIST_DYNAMIC);
  ready = true;
}
