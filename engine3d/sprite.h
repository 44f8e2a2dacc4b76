// Sprites made from a texture of the back end's table, and the texture list
// files that save and restore that table. These reach the back end's texture
// manager; the rest of the 3D library does not.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

Sprite* ObjCreateSprite(const char* textureName, float width, float height);
Sprite* ObjCreateSpritePoint(const char* textureName, float width, float height);
Sprite* ObjCreateCross(const char* textureName, float width, float height);
void ObjFreeSprite(Sprite* sprite);

int32_t TexListSaveFile(const char* name);
int32_t TexListLoadFile(const char* name);
