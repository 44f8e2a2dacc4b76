// Race presentation operations the shell calls: sound effects, music, fades.
#pragma once
#include <cstdint>

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
// Cleared at start-up, before any music plays.
extern uint8_t gMusicFaderFlag;

// What the race loader starts.
void FxClearPools();
void SfxLoadTrackBank();
void ViewRunTrackPresentation();
void DecorSetupTrack();
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
void SfxStopSlot(int32_t slot);
void MusicFadeStep();
void WeatherDrawLightning();
void WeatherDrawSkyPoints();

// The vehicles' sounds: `event` is the one sound event of the drive step (0 none).
void SfxUpdateVehicle(Vehicle* vehicle, Vehicle* driver, int32_t event, uint8_t slideSound);
void SfxStopVehicleLoops(Vehicle* vehicle);
// -> non-zero when a fast nose-up landing is worth its remark.
int32_t SfxVehicleSlideTest(Vehicle* vehicle);
// The vehicles' effects.
void FxAttachVehicleBurst(Vehicle* vehicle);
void FxAttachVehicleEmitter(Vehicle* vehicle, float amount);
void FxAttachVehicleEmitterDrive(Vehicle* vehicle);
void FxVehicleLoseWheel(Vehicle* vehicle, int32_t landing);
void FxSpawnSplash(Vehicle* vehicle);
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

// The screen glows of the current view, emptied as each view begins.
constexpr int FX_GLOW_MAX = 32;
struct FxGlowList {
  int32_t count;
  float x[FX_GLOW_MAX], y[FX_GLOW_MAX];
};
extern FxGlowList gFxGlowList;
