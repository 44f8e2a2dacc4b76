// The work every object drawer does whatever it draws with: the object's turn
// (the object matrix or the heading alone), each vertex moved into view space,
// projected and lit, the back-face test, the face light of the shaded member,
// and the choice of face routine. A back end adds what is its own around it:
// what happens before the first and after the last face, and after each face.
#pragma once
#include <cstdint>

#include "backend_common/draw.h"
#include "engine3d/mesh.h"

enum class ObjRotation : uint8_t { MATRIX, HEADING };
enum class ObjLighting : uint8_t { NONE, VERTEX, VERTEX_AND_FACE };

using ObjFaceRoutine = void (*)(Face*);
using ObjObjectRoutine = void (*)(DrawSlot*, MeshHeader*);

// One member of the drawer family.
struct ObjStyle {
  ObjRotation rotation;
  bool depthGate;
  bool backFace;
  ObjLighting lighting;
  ObjFaceRoutine colourFace;  // face type 0
  ObjFaceRoutine otherFace;   // every other face type
  ObjObjectRoutine unlit;     // drawn instead while vertex lighting is off
};

// The members every back end draws alike; only the layer around them (and
// the vertex-colour member's copies) are a back end's own.
// clang-format off
//                                          rotation              depth  back   lighting                      colour faces        other faces               lighting off
inline constexpr ObjStyle OBJ_OBJECT            {ObjRotation::MATRIX,  true,  true,  ObjLighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecal,         nullptr};
inline constexpr ObjStyle OBJ_TWO_SIDED         {ObjRotation::MATRIX,  true,  false, ObjLighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecal,         nullptr};
inline constexpr ObjStyle OBJ_LIT               {ObjRotation::MATRIX,  true,  true,  ObjLighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLit,        RdrDrawObject};
inline constexpr ObjStyle OBJ_LIT_TWO_SIDED     {ObjRotation::MATRIX,  true,  false, ObjLighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLit,        RdrDrawObjectTwoSided};
inline constexpr ObjStyle OBJ_CLAMPED           {ObjRotation::MATRIX,  true,  true,  ObjLighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecalClamped,  nullptr};
inline constexpr ObjStyle OBJ_LIT_CLAMPED       {ObjRotation::MATRIX,  true,  true,  ObjLighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLitClamped, RdrDrawObjectClamped};
inline constexpr ObjStyle OBJ_YAW               {ObjRotation::HEADING, true,  true,  ObjLighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecal,         nullptr};
inline constexpr ObjStyle OBJ_YAW_LIT           {ObjRotation::HEADING, true,  true,  ObjLighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLit,        RdrDrawObjectYaw};
inline constexpr ObjStyle OBJ_YAW_TWO_SIDED     {ObjRotation::HEADING, true,  false, ObjLighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecal,         nullptr};
inline constexpr ObjStyle OBJ_YAW_LIT_TWO_SIDED {ObjRotation::HEADING, true,  false, ObjLighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLit,        RdrDrawObjectYawTwoSided};
inline constexpr ObjStyle OBJ_YAW_ANY_DEPTH     {ObjRotation::HEADING, false, true,  ObjLighting::NONE,            RdrDrawFaceFlat,    RdrDrawFaceDecal,         nullptr};
inline constexpr ObjStyle OBJ_YAW_LIT_ANY_DEPTH {ObjRotation::HEADING, false, true,  ObjLighting::VERTEX,          RdrDrawFaceGouraud, RdrDrawFaceTexLit,        RdrDrawObjectYawAnyDepth};
inline constexpr ObjStyle OBJ_YAW_SHADED        {ObjRotation::HEADING, false, true,  ObjLighting::VERTEX_AND_FACE, RdrDrawFaceShaded,  RdrDrawFaceTexShaded,     RdrDrawObjectYawAnyDepth};
// clang-format on

struct ObjVec3 {
  float x, y, z;
};

// The object's turn: the object matrix, or the heading alone (which, unlike
// the matrix, does not mirror y).
struct ObjTurn {
  ObjRotation rotation;
  uint32_t heading;
  float sinH, cosH;

  ObjVec3 Apply(float x, float y, float z) const;
};

// What a back end does around the shared loop; any hook may be null. `user`
// is handed to each.
struct ObjLayer {
  // After the vertices are moved, before the first face.
  void (*begin)(const MeshHeader* mesh, void* user);
  // After a face that passed the back-face test went to its routine.
  void (*afterFace)(Face* face, bool colourFace, const ObjTurn& turn, const MeshHeader* mesh, void* user);
  // After the last face, before the caller's vertex array comes back.
  void (*end)(const MeshHeader* mesh, void* user);
  void* user;
};

// Draws the mesh at the slot as the style says. A null slot or mesh, or a
// mesh that claims vertices it lacks, draws nothing; so does a face that is
// not 3 or 4 corners each naming one of the mesh's vertices.
void ObjDrawMesh(DrawSlot* slot, MeshHeader* mesh, const ObjStyle& style, const ObjLayer* layer = nullptr);

// Overlay faces: copies of drawn faces in the face pool's reserve behind the
// world's faces, mapped by the turned vertex normals (x and y times `scale`).
struct ObjOverlayList {
  float scale;
  int32_t count;
  Face* first;  // the copies follow one another from here
};
// Appends a copy of the face; false (nothing appended) when the reserve is full.
bool ObjOverlayAppend(ObjOverlayList* list, const Face* face, const ObjTurn& turn, const Vertex* vertices);

// The overlay layer of a blended object: a copy of each textured face whose
// work polygon kept 3 or more corners (faces off screen too; only a face the
// near or far clip removed gets none).
struct ObjOverlay {
  uint32_t texture;
  float lightFactor;
  ObjOverlayList copies;
};
void ObjOverlayCollect(ObjOverlay* overlay, const Face* face, bool colourFace, uint32_t polyCount,
                       const ObjTurn& turn, const MeshHeader* mesh);
