#include "backend_common/dotfont.h"

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "engine3d/mesh.h"

// The table is each back end's own: their glyphs differ.
const uint8_t* DotFontGlyph(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return DOT_FONT_GLYPHS[c - 'A'];
  if (c >= '0' && c <= '9') return DOT_FONT_GLYPHS[26 + (c - '0')];
  if (c == '.') return DOT_FONT_GLYPHS[36];
  if (c == '-') return DOT_FONT_GLYPHS[37];
  return nullptr;
}

namespace {

// The scratch face of the scaled font: behind the faces and vertices in use,
// so the mesh's counts stay as they are.
Face* gScaledFace;
Vertex* gScaledVertices;

}  // namespace

bool DotFontScaledBegin() {
  gScaledVertices = MeshScratchVertices(gMesh.vertexCount, 4);
  gScaledFace = MeshScratchFaces(gMesh.faceCount, 1);
  if (!gScaledVertices || !gScaledFace) {
    gScaledFace = nullptr;
    return false;
  }
  *gScaledFace = Face{};
  gScaledFace->type = 0x00FFFFFF;  // a colour face, white
  gScaledFace->vertexCount = 4;
  for (int i = 0; i < 4; ++i) {
    gScaledVertices[i] = Vertex{};
    gScaledVertices[i].viewZ = gRdrState.nearPlane + 1.0f;
    gScaledVertices[i].red = gScaledVertices[i].green = gScaledVertices[i].blue = 255;
    gScaledFace->index[i] = static_cast<uint16_t>(gMesh.vertexCount + i);
  }
  return true;
}

void DotFontScaledEnd() { gScaledFace = nullptr; }

void DotFontDrawCharScaled(int32_t x, int32_t y, int32_t dotWidth, int32_t dotHeight, char character) {
  const uint8_t* glyph = DotFontGlyph(character);
  if (!glyph || !gScaledFace) return;
  for (int32_t r = 0; r < 5; ++r) {
    for (int32_t c = 0; c < 4; ++c) {
      if (!glyph[r * 4 + c]) continue;
      const float left = static_cast<float>(x + c * dotWidth), top = static_cast<float>(y + r * dotHeight);
      const float right = left + static_cast<float>(dotWidth - 1), bottom = top + static_cast<float>(dotHeight - 1);
      const float corners[4][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
      for (int i = 0; i < 4; ++i) {
        gScaledVertices[i].screenX = corners[i][0];
        gScaledVertices[i].screenY = corners[i][1];
      }
      RdrDrawFaceFlat(gScaledFace);
    }
  }
}
