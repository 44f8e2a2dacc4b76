// Race presentation operations the shell calls: sound effects, music, fades.
#pragma once
#include <cstdint>

#include "engine3d/mesh.h"

void SfxStartup();
void SfxStopAll();
void SfxCommitListener();
void MusicInit();
void MusicShutdown();
void MusicStop();
void ViewFadeStart();
// -> 1 while the screen fades to black, 0 once it is black.
int32_t ViewFadeOutStep();
// Screen-plane rectangles, corners (x0, y0), (x1, y0), (x1, y1), (x0, y1):
// a translucent grey one (alpha clamped to 0..255), and an opaque one in the
// flat colour red | green << 8 | blue << 16.
void ViewDrawShadeQuad(float x0, float y0, float x1, float y1, int32_t grey, int32_t alpha);
void ViewDrawTexturedQuad(float x0, float y0, float x1, float y1, uint32_t faceWord);
void DecorStartAmbientSound();
// The music's fader state, cleared at start-up before any music plays, is
// gMusic.faderState (presentation/music.h).

// What the race loader starts.
void FxClearPools();
// The current track's rows (SFX_BANK_TRACK) or the front end's (presentation/sfx.h).
void SfxLoadTrackBank(int32_t set);
void ViewRunTrackPresentation();
void DecorSetupTrack();
// The ripple ring the splashes draw, at the track's water level.
void DecorBuildRippleRing();
void MusicPlayTrack(int32_t cdTrack);
void ViewRunStartFlyIn();

// What the race frame draws and steps, view by view.
struct Vehicle;
struct Camera;
void ViewFrameStep();
void ChaseCamReset(Vehicle* vehicle);
// -> the camera the vehicle's view looks through this frame.
Camera* ChaseCamUpdate(Vehicle* vehicle);
void VehicleDrawInsetAll();
void ViewApplyFlyInCamera();
void VehicleDrawAll();
// viewNumber 0 for the first view, non-zero for the second split-screen view.
void VehicleDrawOwn(Vehicle* vehicle, int32_t viewNumber);
void DecorFrameStep();
void FxDrawTyreMarks();
void FxDrawParticles();
void CockpitDraw(Vehicle* vehicle);
void ViewDrawInset(Vehicle* vehicle);
void HudDrawView();
void HudDrawSplitView(Vehicle* vehicle, int32_t view);
// The map strip at the view's right edge with one icon per vehicle; drawn by
// the HUD while gRace.minimapOn is set.
void HudDrawMinimap();
void HudDrawMinimapIcon(float x, float y, const Vehicle* vehicle);
void SfxUpdateListener();
void SfxStopUnusedEngine();
void SfxPlayEffectAt(int32_t effect, float x, float y, float z);
// Starts the effect looping (or keeps it looping) -> its sound slot, 0 for none.
int32_t SfxLoopEffectAt(int32_t effect, float x, float y, float z);
// -> 1 when the slot was playing.
int32_t SfxStopSlot(int32_t slot);
void MusicFadeStep();
void WeatherDrawLightning();
void WeatherDrawSkyPoints();
// The weather of a view, by track.
void WeatherStepSnowfall();
void WeatherStepRain();
void WeatherStepVolcano();
void WeatherDrawMoon();
// What the snow asks of the decor actors: the church bell it loops (1 with
// its position, 0 when the track has no church), and the pace of the lift
// cabins and skiers, set once a frame.
int32_t DecorBellPosition(float* x, float* y, float* z);
void DecorSetSkierPace(float pace);

// The vehicles' sounds: `driver` is set for a vehicle heard in 3D; `event` is
// the one sound event of the drive step (0 none), played as an effect row;
// `slideSound` while the wheels run on the track's loose surface.
void SfxUpdateVehicle(Vehicle* vehicle, Vehicle* driver, int32_t event, uint8_t slideSound);
void SfxStopVehicleLoops(Vehicle* vehicle);
// -> 1 when a vehicle near a view slides enough to be heard skidding.
int32_t SfxVehicleSlideTest(Vehicle* vehicle);
// The vehicles' effects.
void FxAttachVehicleBurst(Vehicle* vehicle);
void FxAttachVehicleEmitter(Vehicle* vehicle, float amount);
void FxAttachVehicleEmitterDrive(Vehicle* vehicle);
void FxVehicleLoseWheel(Vehicle* vehicle, int32_t landing);
void FxSpawnSplash(Vehicle* vehicle);
// A knocked vehicle's crash effect and its flying debris.
void FxVehicleCrash(Vehicle* vehicle);
void FxVehicleDebris(Vehicle* vehicle);
// A placed object hit by a vehicle: DecorKnockObject -> 1 when the object
// gave way, 0 when it stands; FxObjectKindIs4Or5 -> 1 for the solid kinds
// (buildings and the oil track).
struct DrawSlot;
uint8_t DecorKnockObject(DrawSlot* object, Vehicle* vehicle);
uint8_t FxObjectKindIs4Or5(const DrawSlot* object);
// What the wheel pass throws up and leaves behind. The rate divisors slow
// the particles' growth.
struct WheelState;
void FxAddTyreMark(WheelState* wheel);
void FxSpawnWheelClods(Vehicle* vehicle, WheelState* wheel);
void FxSpawnWheelSpray(WheelState* wheel, float divisor);
void FxSpawnWheelSpray2(WheelState* wheel, float divisor);
void FxSpawnSmokePuff(float x, float y, float z, float divisor);
void FxSpawnWheelParticle(float x, float y, float z);
void FxSpawnGroundDust(Vehicle* vehicle);
void FxSpawnBubbles(Vehicle* vehicle);
// Plays copy `copy` of an effect row at a point -> its sound slot, 0 for none.
int32_t SfxPlayEffectCopyAt(int32_t effect, float x, float y, float z, int32_t copy);
// Pitch in tenths of a semitone above the sample's own.
void SfxSetSlotFrequency(int32_t slot, int32_t pitch);

// What the vehicle drawing starts for each vehicle it draws.
void FxSpawnVehicleFire(Vehicle* vehicle);
void FxSpawnExhaustFlames(Vehicle* vehicle);
// The live segment of a wheel's tyre trail, from its last mark to the wheel.
void FxDrawTyreTrail(WheelState* wheel);
void VehicleDrawShadow(Vehicle* vehicle);

// Vehicle drawing, below what the race frame calls: one other vehicle (the
// record, or when it is null the network record), a wheel, a part, a copy
// mirrored in the ice, the far body, the tinted light.
struct DrawSlot;
struct MeshHeader;
void VehicleDrawOther(Vehicle* vehicle, Vehicle* netRecord);
// Turns the source's vertices, normals and face normals by the angles into
// the instance (a clone of the same model) and draws it lit at the object.
// Tyre faces take the car face word, their t coordinates divided by the factor.
void VehicleDrawMesh(DrawSlot* object, MeshHeader* source, MeshHeader* instance, int32_t a, int32_t b, int32_t c,
                     float treadFactor);
void VehicleDrawTurnedPart(Vehicle* vehicle, DrawSlot* object, int32_t steering);
void VehicleDrawFlatPartA(DrawSlot* object, Vehicle* vehicle, float armLength);
void VehicleDrawFlatPartB(DrawSlot* object, Vehicle* vehicle, float armLength);
void VehicleDrawFlattened(DrawSlot* object, MeshHeader* mesh);
void VehicleDrawLowDetail(DrawSlot* object, MeshHeader* mesh, uint32_t carFaceWord);
void VehicleDrawSetLight(Vehicle* vehicle);
// Debug mode 1's smaller body; the restore puts back the very coordinates
// the shrink saved.
void VehicleMeshShrink(MeshHeader* mesh);
void VehicleMeshRestore(MeshHeader* mesh);

// The render values of the vehicle being drawn, set anew for each vehicle.
struct CarModel;
struct VehicleDrawState {
  CarModel* carModel;
  uint32_t carFaceWord;  // the paint's tyre-mark texture as a textured, lit face
  int32_t bodyLight;     // the car model's light factor, or the tinted one
  uint8_t tinted;        // the light took the ground tint: the race's colour goes back after the vehicle
};
extern VehicleDrawState gVehicleDraw;

// The screen glows of the current view, emptied as each view begins. An
// entry is a slot: its type word carries the glow's strength as alpha, its
// view position is where the glow shows, its x field is 512 x the glow's
// horizontal offset from the screen centre / screen width (the flare turns
// by it), its owner the flare sprite and its last word the ObjectGlow.
constexpr int FX_GLOW_MAX = 99;
struct FxGlowList {
  int32_t count;
  DrawSlot entries[FX_GLOW_MAX];
};
extern FxGlowList gFxGlowList;
// Completes the next entry, whose view point and record the caller wrote, and
// counts it; nothing when the list is full or the glow too faint. The plain
// glow is steady; the other is weakened by `reduction`.
void FxAddScreenGlowPlain(DrawSlot* entry);
void FxAddScreenGlow(DrawSlot* entry, int32_t reduction);
// A smoke puff of a placed object (the oil track, the dead bug).
void FxSpawnObjectSmoke(float x, float y, float z, float sizeDivisor, float rateDivisor);
