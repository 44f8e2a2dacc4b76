// Face normals from the first three corners, vertex normals as the mean of
// the normals of the faces around a vertex (at most the first 16 of them), all
// of length 1024; and the merge of coplanar triangle pairs into quads.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

// A vertex keeps at most this many of the faces that use it, in face order.
constexpr int32_t NORMAL_ADJACENT_FACES = 16;

void MeshFaceNormal(int32_t face);
void MeshFaceNormalOf(int32_t face, MeshHeader* mesh);
void MeshVertexNormals();
void MeshVertexNormalsOf(MeshHeader* mesh);
void MeshRebuildNormals();
void MeshRebuildNormalsOf(MeshHeader* mesh);
void MeshFrameFaceNormal(MeshFrame* frame, const MeshHeader* base, uint32_t face);
void MeshFrameVertexNormals(MeshFrame* frame, const MeshHeader* base);
void MeshFrameNormals(MeshFrame* frame, const MeshHeader* base);
int32_t MeshRefreshNormalsAtVertex(int32_t vertex);

void MeshMergeQuads(MeshHeader* mesh);
void MeshMergeQuadsPool();
