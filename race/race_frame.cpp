// The race frame: once per displayed frame, one simulation step and the
// drawing of one view or of the two split-screen views; and the frame clock
// that scales every step to the measured frame rate.
#include <cstdio>

#include "backend_common/display.h"
#include "backend_common/dotfont.h"
#include "backend_common/draw.h"
#include "backend_common/picture.h"
#include "backend_common/texture.h"
#include "engine3d/angle.h"
#include "engine3d/mathutil.h"
#include "engine3d/random.h"
#include "engine3d/scene.h"
#include "frontend/frontend.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "race/race.h"
#include "race/race_trace.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

RaceClock gRaceClock;

namespace {

constexpr uint8_t SCAN_ENTER = 0x1C;
constexpr uint8_t SCAN_V = 0x2F;
constexpr int32_t NEAR_PLANE = 5;
constexpr float SKY_RING_FAR = 60000.0f;
constexpr float SKY_RING_OUTER = 1700.0f, SKY_RING_INNER = 600.0f;
constexpr int SKY_RING_QUADS = 32;
constexpr uint32_t DECAL_FACE_TYPE = 0x2000000;
constexpr int SFX_SUNSET_THUNDER = 53;
constexpr int SFX_SAVANA_LOOP = 52;
constexpr int SFX_SAVANA_CALL_A = 54, SFX_SAVANA_CALL_B = 55;
constexpr float SAVANA_SKY_HEIGHT = 8000.0f;

bool SplitScreen() { return gRace.playersMode == 1; }

Vehicle* OwnVehicle() { return gRace.networkGame ? NetOwnRecord() : gPlayer1Vehicle; }

// A height that is not a number (a camera over damaged ground) reads as the
// ground's: every limit below compares against it.
float CameraHeight() {
  const Camera* c = gRace.gViewCamera[gRace.viewIndex ? 1 : 0];
  const float y = c ? c->y : gCamera.y;
  return y == y ? y : 0.0f;
}

void SetFar(float far) { RdrSetDepthRange(NEAR_PLANE, TruncI32(far)); }

void FogFrom(const int32_t colour[3], float start, float end) {
  RdrSetFog(colour[0], colour[1], colour[2], start, end);
}

void Sun(const int32_t colour[3]) {
  RdrDrawViewQuad(gRace.trackTextures[TRACK_TEX_SUN], colour[0], colour[1], colour[2]);
}

// Neige's far plane follows the camera's height.
float NeigeDepth() {
  float v = 1500.0f - CameraHeight() / 15.0f;
  if (v < 300.0f) v = 300.0f;
  gRace.viewDistance = v * 1700.0f / 1500.0f;
  SetFar(gRace.viewDistance);
  return v;
}

// Savana's far plane shrinks as the camera climbs above the sky height.
float SavanaDepth() {
  float v = CameraHeight() - SAVANA_SKY_HEIGHT;
  if (v < 0.0f) v = 0.0f;
  if (v > 800.0f) v = 800.0f;
  const float far = 1700.0f - v;
  gRace.viewDistance = far;
  SetFar(far);
  return far;
}

void SetViewDistance(float far) {
  gRace.viewDistance = far;
  SetFar(far);
}

void CameraOfView(int view) {
  if (gRace.flyInActive) {
    ViewApplyFlyInCamera();
  } else if (gRace.gViewCamera[view]) {
    CamSet(gRace.gViewCamera[view]);
  }
}

void FrameOneView() {
  gRace.viewIndex = 0;
  AppPumpMessages();
  RaceLogicStep();
  CameraOfView(0);
  RaceRenderView();
  AppPumpMessages();
  RaceFlushScene();
  Vehicle* own = OwnVehicle();
  VehicleDrawAmbientShadow();
  VehicleDrawAll();
  VehicleDrawOwn(own, 0);
  DecorFrameStep();
  RaceRankVehicles();
  FxDrawTyreMarks();
  FxDrawParticles();
  CockpitDraw(own);
  if (gRace.insetView) ViewDrawInset(own);
  AppPumpMessages();
  HudDrawView();
  SfxUpdateListener();
  SfxStopUnusedEngine();
}

void SetView(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY, int32_t cx, int32_t cy) {
  RdrSetClipWindow(minX, minY, maxX, maxY);
  RdrSetProjCentre(cx, cy);
}

void DrawSplitView(int view) {
  Vehicle* v = view == 0 ? gPlayer1Vehicle : gPlayer2Vehicle;
  CameraOfView(view);
  RaceRenderView();
  AppPumpMessages();
  RaceFlushScene();
  VehicleDrawAmbientShadow();
  VehicleDrawAll();
  VehicleDrawOwn(v, view == 0 ? 0 : 2);
  DecorFrameStep();
  if (view == 0) RaceRankVehicles();
  FxDrawParticles();
  FxDrawTyreMarks();
  CockpitDraw(v);
  HudDrawSplitView(v, view);
}

void FrameSplit() {
  const int32_t w = gRdrState.screenWidth, h = gRdrState.screenHeight;
  const bool sideBySide = gRace.splitSideBySide != 0;
  if (sideBySide)
    RdrSetProjScale(static_cast<float>((300 * w / 512) * 200 / 512), static_cast<float>(200 * h / 384));
  else
    RdrSetProjScale(static_cast<float>(200 * w / 512), static_cast<float>((250 * h / 384) * 200 / 384));
  AppPumpMessages();
  gRace.viewIndex = 0;
  if (sideBySide) {
    SetView(0, 0, w / 2, h, w / 4, h / 2);
  } else {
    gRace.viewTop = 0;
    gRace.viewHeight = h / 2;
    SetView(0, 0, w, h / 2, w / 2, h / 4 - (20 * (h / 2)) / 384);
  }
  RaceLogicStep();
  DrawSplitView(0);
  AppPumpMessages();

  gRace.viewIndex = 1;
  if (sideBySide) {
    SetView(w / 2, 0, w, h, w / 2 + w / 4, h / 2);
  } else {
    gRace.viewTop = h / 2;
    gRace.viewHeight = h / 2;
    SetView(0, h / 2, w, h, w / 2, h / 2 + h / 4 - (20 * (h / 2)) / 384);
  }
  DrawSplitView(1);

  gRace.viewTop = 0;
  gRace.viewHeight = h;
  SetView(0, 0, w, h, w / 2, h / 2);
  HudDrawView();
  SfxUpdateListener();
  SfxStopUnusedEngine();
}

}  // namespace

void RaceFrame() {
  ++gRace.frameCounter;
  if (SplitScreen())
    FrameSplit();
  else
    FrameOneView();
  RaceTraceFrame();
}

void RaceLogicStep() {
  const bool split = SplitScreen();
  AmbientFrameStep();
  if (split) gPlayer2Vehicle->human = 0;
  if (gRace.gameMode != 0) VehicleDriveComputerCars();
  if (gRace.trackIndex == TRACK_HIGHWAY) TrackObjTrafficStep();
  if (split) {
    gPlayer2Vehicle->human = 1;
    VehicleDriveHuman(gPlayer2Vehicle);
  }
  if (gRace.networkGame) {
    if (Vehicle* own = NetOwnRecord()) VehicleDriveHuman(own);
  } else if (!gRace.noHumanMode) {
    VehicleDriveHuman(gPlayer1Vehicle);
  }
  ViewFrameStep();
}

void VehicleDriveHuman(Vehicle* vehicle) {
  vehicle->viewActive = vehicle->viewRequest;
  gRace.currentPose = &vehicle->pose;
  VehicleDriveStep(vehicle, nullptr);
}

void VehicleDriveComputerCars() {
  if (!gRace.trajectoriesLoaded) return;
  if (gRace.networkGame) {
    const int32_t own = NetOwnIndex();
    for (int32_t i = 0; i < NetParticipantCount(); ++i) {
      Vehicle* v = NetParticipantRecord(i);
      if (i == own || !v) continue;
      gRace.currentPose = &v->pose;
      VehicleDriveStep(v, i < VEHICLE_TABLE_SLOTS ? gVehicleTable[i] : nullptr);
    }
    return;
  }
  // In split screen slot 0 is player 2.
  for (int slot = SplitScreen() ? 1 : 0; slot < VEHICLE_EXTRA_CAR; ++slot) {
    Vehicle* v = &gVehicleRecords[slot];
    gRace.currentPose = &v->pose;
    VehicleDriveStep(v, v);
  }
  if (gRace.noHumanMode) {
    Vehicle* extra = &gVehicleRecords[VEHICLE_EXTRA_CAR];
    gRace.currentPose = &extra->pose;
    VehicleDriveStep(extra, extra);
  }
}

void RaceRenderView() {
  gFxGlowList.count = 0;
  RaceClearView();
  if (gOptions.detail[3] == 0) {
    RaceSetViewDepth();
    return;
  }
  const int32_t* horizon = gRace.horizonColour;
  const int32_t* clear = gRace.clearColour;
  switch (gRace.trackIndex) {
    case TRACK_DESERT:
      MatViewFromCamera();
      RaceDrawSkyRing(0.0f, 4000.0f);
      FogFrom(horizon, 500.0f, 1500.0f);
      Sun(horizon);
      break;
    case TRACK_NEIGE: {
      const float v = NeigeDepth();
      float nearFog = v - 1000.0f;
      if (nearFog < -200.0f) nearFog = -200.0f;
      FogFrom(clear, nearFog, v);
      break;
    }
    case TRACK_BOUE:
      MatViewFromCamera();
      FogFrom(clear, -1000.0f, 300.0f);
      WeatherDrawLightning();
      FogFrom(clear, 500.0f, 1500.0f);
      RdrAdvanceWave(gRace.timeStep, -0.5f * gRace.timeStep);
      break;
    case TRACK_VOLCANO:
      SetViewDistance(2400.0f);
      FogFrom(clear, -100.0f, 180.0f);
      MatViewFromCamera();
      RdrDrawGroundStrip(gRace.trackTextures[TRACK_TEX_SKY], 60.0f, 4.0f, 0);
      FogFrom(clear, 600.0f, 1700.0f);
      Sun(clear);
      break;
    case TRACK_HIGHWAY:
      MatViewFromCamera();
      RaceDrawSkyRing(350.0f, 5000.0f);
      FogFrom(horizon, 500.0f, 1500.0f);
      Sun(horizon);
      break;
    case TRACK_RUINES:
      SetViewDistance(2000.0f);
      MatViewFromCamera();
      RaceDrawSkyRing(0.0f, 5000.0f);
      FogFrom(horizon, 600.0f, 1700.0f);
      Sun(horizon);
      break;
    case TRACK_LOOPING:
      WeatherDrawSkyPoints();
      FogFrom(clear, 500.0f, 1500.0f);
      break;
    case TRACK_SUNSET:
      MatViewFromCamera();
      RaceDrawSkyRing(gRace.waterLevel - 50.0f, 2000.0f);
      FogFrom(horizon, 500.0f, 1500.0f);
      Sun(horizon);
      break;
    case TRACK_SAVANA: {
      const float far = SavanaDepth();
      MatViewFromCamera();
      FogFrom(horizon, far / 3.0f, far);
      Sun(horizon);
      break;
    }
    case TRACK_ICE:
      MatViewFromCamera();
      FogFrom(clear, 500.0f, 1500.0f);
      Sun(horizon);
      break;
    default:
      break;
  }
}

void RaceSetViewDepth() {
  switch (gRace.trackIndex) {
    case TRACK_NEIGE: NeigeDepth(); break;
    case TRACK_VOLCANO: SetViewDistance(2400.0f); break;
    case TRACK_RUINES: SetViewDistance(2000.0f); break;
    case TRACK_SAVANA: SavanaDepth(); break;
    default: break;
  }
}

void RaceClearView() {
  const bool firstView = RaceViewAdvances();
  if (gRace.trackIndex == TRACK_SUNSET && gRace.tickPassed && firstView && (RandNext() & 0x7F) == 10)
    SfxPlayEffectAt(SFX_SUNSET_THUNDER, 0.0f, 0.0f, 0.0f);
  if (gRace.trackIndex == TRACK_SAVANA) {
    float v = CameraHeight() - SAVANA_SKY_HEIGHT;
    if (firstView) {
      if (v < 0.0f) {
        if (gRace.skyLoopSlot) SfxStopSlot(gRace.skyLoopSlot);
        gRace.skyLoopSlot = 0;
        v = 0.0f;
      } else {
        gRace.skyLoopSlot = SfxLoopEffectAt(SFX_SAVANA_LOOP, 0.0f, 0.0f, 0.0f);
        if (gRace.tickPassed) {
          const int32_t call = RandNext() & 0x3F;
          if (call == 2) SfxPlayEffectAt(SFX_SAVANA_CALL_A, 0.0f, 0.0f, 0.0f);
          if (call == 4) SfxPlayEffectAt(SFX_SAVANA_CALL_B, 0.0f, 0.0f, 0.0f);
        }
      }
    }
    if (v < 0.0f) v = 0.0f;
    if (v > 2000.0f) v = 2000.0f;
    const float f = v * 0.0005f;
    if (firstView) {
      const int32_t sky[3] = {TruncI32(33.0f + 144.0f * f), TruncI32(148.0f + 49.0f * f), TruncI32(255.0f - 93.0f * f)};
      for (int i = 0; i < 3; ++i) gRace.horizonColour[i] = gRace.clearColour[i] = sky[i];
    }
  }
  RdrClear(gRace.clearColour[0], gRace.clearColour[1], gRace.clearColour[2]);
}

void RaceDrawSkyRing(float baseHeight, float ringHeight) {
  RdrFogOff();
  RdrDepthOff();
  SetFar(SKY_RING_FAR);
  // The ring lives in the scratch room past the world; without room, no ring.
  const int32_t first = gMesh.vertexCount;
  Vertex* v = first + 2 * SKY_RING_QUADS <= UINT16_MAX + 1 ? MeshScratchVertices(first, 2 * SKY_RING_QUADS) : nullptr;
  Face* f = MeshScratchFaces(gMesh.faceCount, 1);
  if (v && f) {
    const float cx = gCamera.x, cz = gCamera.z;
    for (int i = 0; i < SKY_RING_QUADS; ++i) {
      const int32_t a = i * 32;
      Vertex& outer = v[2 * i];
      Vertex& inner = v[2 * i + 1];
      outer = Vertex{};
      inner = Vertex{};
      outer.x = cx + SKY_RING_OUTER * MathSin(a);
      outer.y = baseHeight;
      outer.z = cz + SKY_RING_OUTER * MathCos(a);
      inner.x = cx + SKY_RING_INNER * MathSin(a);
      inner.y = baseHeight + ringHeight;
      inner.z = cz + SKY_RING_INNER * MathCos(a);
      RdrProjectVertex(&outer);
      RdrProjectVertex(&inner);
    }
    const uint32_t texture = gRace.trackTextures[TRACK_TEX_RING] & 0xFFFFFF;
    // The ring is laid out in texels; the back end may sample in other units.
    float sUnit = 1.0f, tUnit = 1.0f;
    TexCoordUnits(texture, &sUnit, &tUnit);
    for (int i = 0; i < SKY_RING_QUADS; ++i) {
      *f = Face{};
      f->type = texture | DECAL_FACE_TYPE;
      f->vertexCount = 4;
      const int corners[4] = {2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1};
      const float s0 = static_cast<float>(8 * i), s1 = s0 + 8.0f;
      const float st[8] = {s0, 253.0f, s1, 253.0f, s1, 3.0f, s0, 3.0f};
      for (int k = 0; k < 4; ++k) f->index[k] = static_cast<uint16_t>(first + corners[k] % (2 * SKY_RING_QUADS));
      for (int k = 0; k < 8; k += 2) {
        f->st[k] = st[k] / sUnit;
        f->st[k + 1] = st[k + 1] / tUnit;
      }
      RdrDrawFaceDecal(f);
    }
  }
  SetFar(gRace.viewDistance);
  RdrDepthOn();
  RdrFogOn();
}

void RaceFlushScene() {
  if (gRace.sortedDrawing)
    ObjRenderSceneTwoPass();
  else
    ObjRenderScene();
}

void RaceFrameClock() {
  MusicFadeStep();
  gRace.frameRate = AppFrameWait();
  if (--gRaceClock.countdown <= 0) {
    gRaceClock.displayAverage = gRaceClock.sum * 0.0625f;
    gRaceClock.countdown = 16;
    gRaceClock.sum = 0.0f;
  }
  gRaceClock.sum += gRace.frameRate;
  if (gRace.frameRate < 10.0f) gRace.frameRate = 10.0f;
  gRace.timeStep = 25.0f / gRace.frameRate;
  gRace.timeStepFifth = gRace.timeStep * 0.2f;
  gRace.timeStepFourFifths = gRace.timeStep * 0.8f;
  gRace.frameHours = (1.0f / gRace.frameRate) / 3600.0f;
  const int32_t before = gRace.ticks;
  gRace.tickClock += gRace.timeStep;
  gRace.ticks = static_cast<int32_t>(gRace.tickClock);
  gRace.tickPassed = gRace.ticks != before ? 1 : 0;
  if (gRace.debugMode == 2) {
    if (gKeyScanCode == SCAN_ENTER)
      DotFontPrintf(0, gRace.viewTop + 50 * gRace.viewHeight / 384, "%.01f", gRaceClock.displayAverage);
    if (gKeyScanCode == SCAN_V) RaceSaveScreenshot();
  }
}

void RaceSaveScreenshot() {
  char path[32];
  std::snprintf(path, sizeof path, "vue\\shoot%03d.bmp", gRaceClock.shotNumber);
  LfbSaveScreenshot(path, gRdrState.screenWidth, gRdrState.screenHeight);
  AppPumpMessages();
  ++gRaceClock.shotNumber;
  // One screenshot a press: wait for the key's release.
  while (gKeyScanCode != 0) AppPumpMessages();
}
