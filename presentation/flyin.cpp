// The track presentation, its zoom and the start fly-in.
//
// The model is a miniature of the terrain at 1/22: the world point
// (7800, 3800) sits at its centre. The presentation and the fly-in share
// gFlyInCamera: model units during the presentation, world units during the
// fly-in.
#include "presentation/flyin.h"

#include <algorithm>
#include <cstring>

#include "backend_common/display.h"
#include "backend_common/draw.h"
#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/normals.h"
#include "engine3d/terrain.h"
#include "frontend/frontend.h"
#include "frontend/menu_items.h"
#include "platform/app.h"
#include "platform/edition.h"
#include "platform/mem.h"
#include "presentation/presentation.h"
#include "presentation/text.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/trajectory.h"

TrackShowState gTrackShow;

namespace {

constexpr float MODEL_SCALE = 22.0f;
constexpr float MODEL_CENTRE_X = 7800.0f;
constexpr float MODEL_CENTRE_Z = 3800.0f;
constexpr float MODEL_DISTANCE = 550.0f;
constexpr float MODEL_FURTHER_FIELD = 20.0f;
constexpr Camera MODEL_CAMERA = {0.0f, 500.0f, 0.0f, -120.0f, 0.0f, 0.0f};
constexpr float DEFAULT_EXTENT_X = 16000.0f;
constexpr float DEFAULT_EXTENT_Z = 8000.0f;
constexpr uint32_t TEXTURED_FACE = 0x02000000;
constexpr float REVEAL_RATE = 50.0f;  // course-line points a time unit
constexpr int32_t REVEAL_AFTER_LINE = 2000;
constexpr int32_t POST_SPACING = 13;
constexpr int32_t POST_COLOUR_SPAN = 3328;
constexpr float POST_HALF_WIDTH = 150.0f;
constexpr float POST_HEIGHT = 200.0f;
constexpr float POST_NEAREST_DEPTH = 5.0f;
constexpr int32_t ZOOM_MS = 2000;
constexpr float ZOOM_OFFSET = 200.0f;
constexpr float ZOOM_PITCH = -20.0f;
constexpr int32_t FLY_IN_MS = 1000;

uint8_t gModelBuilt;

struct Vec3 {
  float x, y, z;
};

// A world point into model units.
Vec3 ToModel(float x, float y, float z) {
  return {(x - MODEL_CENTRE_X) / MODEL_SCALE, y / MODEL_SCALE, (z - MODEL_CENTRE_Z) / MODEL_SCALE};
}

void PlaceCameraAndModel() {
  gFlyInCamera = MODEL_CAMERA;
  gTrackShow.object = DrawSlot{};
  gTrackShow.object.z = MODEL_DISTANCE;
  gTrackShow.furtherField = MODEL_FURTHER_FIELD;
}

void FreeModel() {
  MeshHeader& m = gTrackShow.model;
  if (m.faces) MemFree(m.faces);
  if (m.vertices) MemFree(m.vertices);
  m.faces = nullptr;
  m.vertices = nullptr;
  m.vertexCount = m.faceCount = 0;
  gModelBuilt = 0;
}

// The course line the presentation may show: none while the track's
// trajectories are not loaded, since the dense line then still holds the
// previous track's.
int32_t LinePointCount() {
  if (!gRace.trajectoriesLoaded) return 0;
  return std::clamp(gTrajDenseCount, 0, TRAJ_DENSE_MAX);
}

int32_t ScreenWidth() { return gRdrState.screenWidth; }

void SetScale(float x, float y) { RdrSetProjScale(x, y); }

// The model's view position, for its depth gate.
void ViewTheModel() {
  DrawSlot& o = gTrackShow.object;
  const float dx = o.x - gCamera.x, dy = o.y - gCamera.y, dz = o.z - gCamera.z;
  const float* v = gCamera.view;
  o.viewX = v[0] * dx + v[1] * dy + v[2] * dz;
  o.viewY = v[3] * dx + v[4] * dy + v[5] * dz;
  o.viewZ = v[6] * dx + v[7] * dy + v[8] * dz;
}

void DrawModel() {
  if (!gModelBuilt) return;
  ViewTheModel();
  RdrDrawObjectYawLit(&gTrackShow.object, &gTrackShow.model);
}

// Black over the clip window, without the depth test.
void Fade(int32_t alpha) {
  const RdrState& s = gRdrState;
  RdrDepthOff();
  ViewDrawShadeQuad(static_cast<float>(TruncI32(s.clipMinX)), static_cast<float>(TruncI32(s.clipMinY)),
                    static_cast<float>(TruncI32(s.clipMaxX)), static_cast<float>(TruncI32(s.clipMaxY)), 0, alpha);
  RdrDepthOn();
}

float Lerp(float a, float b, float f) { return a + (b - a) * f; }

float AngleLerp(float a, float b, int32_t t, int32_t span) {
  return static_cast<float>(MathAngleLerp(TruncI32(a), TruncI32(b), t, span));
}

void SetTrackLight() {
  const TrackInfo& info = gTrackInfo[gRace.trackIndex];
  Light light = {info.light[0], info.light[1], info.light[2], info.light[3], info.light[4]};
  LightSet(&light);
}

}  // namespace

const char* ViewDistanceWord() {
  switch (GAME_EDITION) {
    case EDITION_ITALIAN: return "DISTANZA";
    case EDITION_SPANISH: return "DISTANCIA";
    default: return "ENTFERNUNG";
  }
}

const char* ViewMetreWord() {
  switch (GAME_EDITION) {
    case EDITION_ITALIAN: return "METRI";
    case EDITION_SPANISH: return "METROS";
    default: return "METER";
  }
}

void ViewTrackModelMarkWater(Face* face) {
  const Vertex* v = gTrackShow.model.vertices;
  for (int i = 0; i < 3; ++i)
    if (v[face->index[i]].y > gTrackShow.waterHeight) return;
  face->type = TRACK_MODEL_WATER_WORD;
}

int32_t ViewBuildTrackModel() {
  FreeModel();
  PlaceCameraAndModel();
  // The model is allocated before it is built: without it there is nothing
  // to draw, and the pool has already shown its error.
  MeshHeader& m = gTrackShow.model;
  m = MeshHeader{};
  m.type = MESH_TYPE_WORD;
  m.vertices = static_cast<Vertex*>(MemAlloc(sizeof(Vertex) * TRACK_MODEL_VERTICES));
  m.faces = m.vertices ? static_cast<Face*>(MemAlloc(sizeof(Face) * TRACK_MODEL_FACES)) : nullptr;
  if (!m.vertices || !m.faces) {
    FreeModel();
    return 0;
  }
  m.vertexCount = TRACK_MODEL_VERTICES;
  m.faceCount = TRACK_MODEL_FACES;
  std::memset(m.vertices, 0, sizeof(Vertex) * TRACK_MODEL_VERTICES);
  std::memset(m.faces, 0, sizeof(Face) * TRACK_MODEL_FACES);

  const TerrainDesc* terrain = gTerrain.desc;
  const float extentX = terrain ? terrain->extentX : DEFAULT_EXTENT_X;
  const float extentZ = terrain ? terrain->extentZ : DEFAULT_EXTENT_Z;
  const float dx = extentX / TRACK_MODEL_COLUMNS, dz = extentZ / TRACK_MODEL_ROWS;
  const float sx = dx / MODEL_SCALE, sz = dz / MODEL_SCALE;
  gTrackShow.waterHeight = gRace.waterLevel / MODEL_SCALE;
  for (int32_t r = 0; r < TRACK_MODEL_ROWS; ++r)
    for (int32_t c = 0; c < TRACK_MODEL_COLUMNS; ++c) {
      Vertex& v = m.vertices[TRACK_MODEL_COLUMNS * r + c];
      v.x = -32.0f * sx + static_cast<float>(c) * sx;
      v.z = -16.0f * sz + static_cast<float>(r) * sz;
      const float y = TerrainHeightAt(static_cast<float>(c) * dx, static_cast<float>(r) * dz) / MODEL_SCALE;
      v.y = y < gTrackShow.waterHeight ? gTrackShow.waterHeight : y;
    }
  const uint32_t word = TEXTURED_FACE | (gRace.groundTexture & 0xFFFFFF);
  // Four texels a cell, in the units the back end samples in.
  float sUnit = 1.0f, tUnit = 1.0f;
  TexCoordUnits(word & 0xFFFFFF, &sUnit, &tUnit);
  int32_t f = 0;
  for (int32_t r = 0; r < TRACK_MODEL_ROWS - 1; ++r)
    for (int32_t c = 0; c < TRACK_MODEL_COLUMNS - 1; ++c) {
      const int32_t i = TRACK_MODEL_COLUMNS * r + c;
      const int32_t triangles[2][3] = {{i, i + 1, i + 65}, {i, i + 65, i + 64}};
      for (const auto& corners : triangles) {
        Face& face = m.faces[f++];
        face.type = word;
        face.vertexCount = 3;
        for (int k = 0; k < 3; ++k) {
          const int32_t n = corners[k];
          face.index[k] = static_cast<uint16_t>(n);
          face.st[2 * k] = static_cast<float>(4 * (n % TRACK_MODEL_COLUMNS)) / sUnit;
          face.st[2 * k + 1] = static_cast<float>(4 * (n / TRACK_MODEL_COLUMNS)) / tUnit;
        }
        ViewTrackModelMarkWater(&face);
      }
    }
  MeshRebuildNormalsOf(&m);
  gModelBuilt = 1;
  return 1;
}

void ViewDrawRaceLinePost(float x, float z, int32_t colourStep) {
  Vertex* v = MeshScratchVertices(gMesh.vertexCount, 4);
  Face* f = MeshScratchFaces(gMesh.faceCount, 2);
  if (!v || !f) return;
  std::memset(v, 0, 4 * sizeof(Vertex));
  std::memset(f, 0, 2 * sizeof(Face));
  const int32_t heading = gTrackShow.model.angle[1] & ANGLE_MASK;
  const float sinH = MathSin(heading), cosH = MathCos(heading);
  const DrawSlot& o = gTrackShow.object;
  const float* view = gCamera.view;
  const RdrState& s = gRdrState;
  const float cornerX[4] = {x - POST_HALF_WIDTH, x + POST_HALF_WIDTH, x - POST_HALF_WIDTH, x + POST_HALF_WIDTH};
  const float cornerZ[4] = {z - POST_HALF_WIDTH, z - POST_HALF_WIDTH, z + POST_HALF_WIDTH, z + POST_HALF_WIDTH};
  for (int i = 0; i < 4; ++i) {
    const Vec3 p = ToModel(cornerX[i], TerrainHeightAt(cornerX[i], cornerZ[i]) + POST_HEIGHT, cornerZ[i]);
    const Vec3 turned = {cosH * p.x - sinH * p.z, p.y, sinH * p.x + cosH * p.z};
    const Vec3 d = {turned.x + o.x - gCamera.x, turned.y + o.y - gCamera.y, turned.z + o.z - gCamera.z};
    Vertex& out = v[i];
    out.viewX = view[0] * d.x + view[1] * d.y + view[2] * d.z;
    out.viewY = view[3] * d.x + view[4] * d.y + view[5] * d.z;
    out.viewZ = view[6] * d.x + view[7] * d.y + view[8] * d.z;
    const float depth = out.viewZ < POST_NEAREST_DEPTH ? POST_NEAREST_DEPTH : out.viewZ;
    out.screenX = s.centreX + s.scaleX * out.viewX / depth;
    out.screenY = s.centreY + s.scaleY * out.viewY / depth;
  }
  const uint32_t green = static_cast<uint32_t>(std::max(0, 200 - colourStep));
  const uint32_t colour = 0xFFu | green << 8;
  const int32_t triangles[2][3] = {{0, 1, 2}, {1, 3, 2}};
  for (int t = 0; t < 2; ++t) {
    f[t].type = colour;
    f[t].vertexCount = 3;
    for (int k = 0; k < 3; ++k) f[t].index[k] = static_cast<uint16_t>(gMesh.vertexCount + triangles[t][k]);
    RdrDrawFaceFlat(&f[t]);
  }
}

int32_t ViewDrawTrackInfo() {
  const int32_t count = LinePointCount();
  int32_t n = TruncI32(gTrackShow.reveal);
  const int32_t done = count + REVEAL_AFTER_LINE < n ? 1 : 0;
  n = std::min(n, count);
  for (int32_t i = 0; i < n / POST_SPACING; ++i) {
    const TrajDensePoint& p = gTrajDense[POST_SPACING * i];
    ViewDrawRaceLinePost(p.x, p.z, POST_COLOUR_SPAN * i / count);
  }
  int32_t distance = 0;
  if (gTrackShow.fixedLength != 0) {
    distance = gTrackShow.fixedLength / 10;
  } else if (count > 0) {
    const int32_t reference = n > count - 2 ? count - 1 : POST_SPACING * (n / POST_SPACING);
    distance = TruncI32(gTrajDense[reference].distance * 0.1f);
  }
  const int32_t track = std::clamp(gRace.trackIndex, 0, MENU_TRACK_ITEMS - 1);
  TextSetScale(20);
  TextPrintCentred(static_cast<int16_t>(gRace.viewTop + gRace.viewHeight * 2 / 384), "%s", gMenuItems[static_cast<size_t>(track)].label);
  TextSetScale(12);
  TextPrintCentred(static_cast<int16_t>(gRace.viewTop + gRace.viewHeight * 30 / 384), "%s %d %s", ViewDistanceWord(),
                   distance, ViewMetreWord());
  return done;
}

void ViewRunTrackZoom(float yaw) {
  AppTimerStart(TRACK_SHOW_TIMER);
  const Camera start = gFlyInCamera;
  const float startScaleX = gRdrState.scaleX, startScaleY = gRdrState.scaleY;
  const float endScaleX = gTrackShow.raceScaleX, endScaleY = gTrackShow.raceScaleY;
  const TrackInfo& info = gTrackInfo[gRace.trackIndex];
  const Camera* chase = gPlayer1Vehicle && gPlayer1Vehicle->chaseCamera ? gPlayer1Vehicle->chaseCamera : &start;
  const float x = chase->x - ZOOM_OFFSET;
  const float z = info.startHeading == 0 ? chase->z - ZOOM_OFFSET : chase->z + ZOOM_OFFSET;
  const Vec3 p = ToModel(x, chase->y, z);
  const Camera target = {p.x, p.y, p.z, ZOOM_PITCH, static_cast<float>(info.startHeading), 0.0f};
  for (;;) {
    const float t = static_cast<float>(AppTimerElapsed(TRACK_SHOW_TIMER));
    const int32_t ms = TruncI32(t);
    const float f = t * 0.0005f;
    RdrClear(0, 0, 0);
    gFlyInCamera.x = Lerp(start.x, target.x, f);
    gFlyInCamera.y = Lerp(start.y, target.y, f);
    gFlyInCamera.z = Lerp(start.z, target.z, f);
    gTrackShow.object.z = MODEL_DISTANCE - MODEL_DISTANCE * f;
    SetScale(Lerp(startScaleX, endScaleX, f), Lerp(startScaleY, endScaleY, f));
    gFlyInCamera.pitch = AngleLerp(start.pitch, target.pitch, ms, ZOOM_MS);
    gFlyInCamera.heading = AngleLerp(start.heading, target.heading, ms, ZOOM_MS);
    gFlyInCamera.roll = AngleLerp(start.roll, target.roll, ms, ZOOM_MS);
    CamSet(&gFlyInCamera);
    MatViewFromCamera();
    gTrackShow.model.angle[1] = static_cast<uint16_t>(MathAngleLerp(TruncI32(yaw), 0, ms, ZOOM_MS));
    DrawModel();
    ViewDrawTrackInfo();
    gTrackShow.reveal += REVEAL_RATE * gRace.timeStep;
    const float a = f * 480.0f - 200.0f;
    if (a > 0.0f) Fade(TruncI32(std::min(a, 255.0f)));
    RaceFrameClock();
    RdrSwapBuffers();
    AppPumpMessages();
    if (t > static_cast<float>(ZOOM_MS) || a >= 255.0f) break;
  }
}

void ViewRunTrackPresentation() {
  SceneScreenBegin();
  gTrackShow.raceScaleX = gSceneScreenSaved.scaleX;
  gTrackShow.raceScaleY = gSceneScreenSaved.scaleY;
  gTrackShow.fixedLength = 0;
  gTrackShow.reveal = 0.0f;
  SetScale(static_cast<float>(ScreenWidth() * 400 / 512), static_cast<float>(gRdrState.screenHeight * 400 / 384));
  Light light = {-2000.0f, 0.0f, -200.0f, 64.0f, 0.0f};
  LightSet(&light);
  if (ViewBuildTrackModel()) {
    float yaw = static_cast<float>(gTrackInfo[gRace.trackIndex].startHeading + 512);
    MenuPollInput();
    int32_t done = 0;
    while (!done) {
      RdrClear(0, 0, 0);
      CamSet(&gFlyInCamera);
      MatViewFromCamera();
      yaw += gRace.timeStep;
      gTrackShow.model.angle[1] = static_cast<uint16_t>(TruncI32(yaw));
      DrawModel();
      done = ViewDrawTrackInfo();
      gTrackShow.reveal += REVEAL_RATE * gRace.timeStep;
      RaceFrameClock();
      RdrSwapBuffers();
      AppPumpMessages();
      if (!done) done = MenuPollInput();
    }
    const int32_t count = LinePointCount();
    gTrackShow.fixedLength = count > 0 ? TruncI32(gTrajDense[count - 1].distance) : 0;
    ViewRunTrackZoom(yaw);
    FreeModel();
  }
  gTrackShow.zoomEndScaleX = gRdrState.scaleX;
  gTrackShow.zoomEndScaleY = gRdrState.scaleY;
  SetTrackLight();
  // The zoom left its last frames in the buffers; the race's first frames
  // may not cover the whole screen.
  RdrBlankBuffers();
  SceneScreenEnd();
}

void ViewRunStartFlyIn() {
  const DrawSlot& o = gTrackShow.object;
  Camera start = gFlyInCamera;
  start.x = gFlyInCamera.x * MODEL_SCALE + MODEL_CENTRE_X;
  start.y = gFlyInCamera.y * MODEL_SCALE;
  start.z = gFlyInCamera.z * MODEL_SCALE + MODEL_CENTRE_Z - o.z * MODEL_SCALE;
  start.heading = gFlyInCamera.heading - static_cast<float>(gTrackShow.model.angle[1]);
  gFlyInCamera = start;
  gRace.flyInActive = 1;
  AppTimerStart(TRACK_SHOW_TIMER);
  Vehicle* own = gPlayer1Vehicle;
  for (;;) {
    Camera* chase = own ? own->chaseCamera : nullptr;
    if (chase) {
      chase->pitch = static_cast<float>(MathAngleTurn(TruncI32(chase->pitch), TruncI32(own->cameraPitch), gRace.timeStepFifth));
      chase->roll = static_cast<float>(MathAngleTurn(TruncI32(chase->roll), TruncI32(own->cameraRoll), gRace.timeStepFifth));
    }
    const Camera target = chase ? *chase : start;
    const int32_t ms = std::min<int32_t>(static_cast<int32_t>(AppTimerElapsed(TRACK_SHOW_TIMER)), FLY_IN_MS);
    const float f = static_cast<float>(ms) * 0.001f;
    if (ms >= FLY_IN_MS) {
      // The last frame stands exactly on the chase camera.
      gFlyInCamera = target;
    } else {
      gFlyInCamera.x = Lerp(start.x, target.x, f);
      gFlyInCamera.y = Lerp(start.y, target.y, f);
      gFlyInCamera.z = Lerp(start.z, target.z, f);
      gFlyInCamera.pitch = AngleLerp(start.pitch, target.pitch, ms, FLY_IN_MS);
      gFlyInCamera.heading = AngleLerp(start.heading, target.heading, ms, FLY_IN_MS);
      gFlyInCamera.roll = AngleLerp(start.roll, target.roll, ms, FLY_IN_MS);
    }
    SetScale(Lerp(gTrackShow.zoomEndScaleX, gTrackShow.raceScaleX, f),
             Lerp(gTrackShow.zoomEndScaleY, gTrackShow.raceScaleY, f));
    RaceFrame();
    const float alpha = 255.0f - 255.0f * f;
    if (alpha > 0.0f && alpha <= 255.0f) Fade(TruncI32(alpha));
    AppPumpMessages();
    RaceFrameClock();
    RdrSwapBuffers();
    if (ms >= FLY_IN_MS) break;
  }
  SetScale(gTrackShow.raceScaleX, gTrackShow.raceScaleY);
  gRace.flyInActive = 0;
}

void ViewApplyFlyInCamera() { CamSet(&gFlyInCamera); }
