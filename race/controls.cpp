// A human's controls for one frame, from the keyboard bits and mouse buttons
// the window keeps, or from the game controller's joystick state.
#include "frontend/frontend.h"
#include "platform/app.h"
#include "race/race.h"
#include "race/tracks.h"
#include "race/vehicle_steps.h"

InputJoyState gJoyState;
int32_t gJoyDevice;

namespace {

constexpr float STEER_MAX = 320.0f;
constexpr float FINISH_HANDBRAKE_VELOCITY = 100.0f;
constexpr float MOUSE_CENTRE_X = 320.0f;
constexpr float MOUSE_EASE = 0.4f;
constexpr uint8_t SCAN_ENTER = 0x1C;
constexpr int32_t JOY_THRESHOLD = 625;
constexpr float JOY_STEER_SCALE = 320.0f * 0.0001f;
constexpr float JOY_EASE = 0.3f;
constexpr int32_t JOY_BUTTON_BOOST = 0;
constexpr int32_t JOY_BUTTON_HANDBRAKE = 2;

enum Controller : int32_t { CONTROL_KEYBOARD = 0, CONTROL_MOUSE = 1, CONTROL_JOYSTICK = 2, CONTROL_JOYSTICK_DIRECT = 3 };

struct KeyRates {
  float side, centre;
};
constexpr KeyRates KEY_RATES[3] = {{32.0f, 30.0f}, {24.0f, 22.0f}, {16.0f, 15.0f}};

float Clamp(float x, float lo, float hi) { return x < lo ? lo : x > hi ? hi : x; }

void Accelerate(Vehicle* v) {
  v->throttleCmd = 1;
  gVehicleStep.acceleratePressed = 1;
}

void Brake(Vehicle* v) {
  v->brakeCmd = 1;
  VehicleMarkBraking(v);
}

void ReadKeyboard(Vehicle* v) {
  const int32_t setting = gOptions.keyboardSensitivity;
  const KeyRates& rates = KEY_RATES[setting == 0 ? 0 : setting == 1 ? 1 : 2];
  const float side = rates.side * gRace.timeStep, centre = rates.centre * gRace.timeStep;
  const uint8_t bits = gApp.keyBits;
  if (bits & APP_KEY_CTRL) v->boostButton = 1;
  if (bits & APP_KEY_SPACE) v->handbrakeButton = 1;
  if (v->finished && v->velocity > FINISH_HANDBRAKE_VELOCITY) v->handbrakeButton = 1;
  // The left arrow raises the steering: a heading that grows turns to the driver's left.
  if (bits & APP_KEY_LEFT) {
    v->steerInput = v->steerInput + side > STEER_MAX ? STEER_MAX : v->steerInput + side;
  } else if (bits & APP_KEY_RIGHT) {
    v->steerInput = v->steerInput - side < -STEER_MAX ? -STEER_MAX : v->steerInput - side;
  } else if (v->steerInput > 0.0f) {
    v->steerInput = v->steerInput > centre ? v->steerInput - centre : 0.0f;
  } else if (v->steerInput < 0.0f) {
    v->steerInput = v->steerInput < -centre ? v->steerInput + centre : 0.0f;
  }
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  if (bits & APP_KEY_UP) Accelerate(v);
  if (bits & APP_KEY_DOWN) Brake(v);
}

void ReadMouse(Vehicle* v) {
  AppReadCursor();
  const float target = MOUSE_CENTRE_X - static_cast<float>(gApp.cursorX);
  // A cursor beyond 640 pixels in a larger display mode must not steer past the wheel's lock.
  v->steerInput = Clamp(v->steerInput + (target - v->steerInput) * MOUSE_EASE * gRace.timeStep, -STEER_MAX, STEER_MAX);
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  const uint32_t buttons = gApp.mouseButtons;
  const bool left = (buttons & APP_MOUSE_LEFT) != 0, right = (buttons & APP_MOUSE_RIGHT) != 0;
  if (left) {
    Accelerate(v);
    if (right) v->boostButton = 1;
  }
  if (gKeyScanCode == SCAN_ENTER) v->handbrakeButton = 1;
  if (right && !left) Brake(v);
}

void ReadJoystick(Vehicle* v) {
  InputJoyState state;
  if (InputReadDevice(gJoyDevice, &state))
    gJoyState = state;
  else
    FfbCheckDeviceLost();
  v->throttleCmd = 0;
  v->brakeCmd = 0;
  if (gJoyState.buttons[JOY_BUTTON_BOOST]) v->boostButton = 1;
  if (gJoyState.buttons[JOY_BUTTON_HANDBRAKE]) v->handbrakeButton = 1;
  if (gJoyState.y < -JOY_THRESHOLD) Accelerate(v);
  if (gJoyState.y > JOY_THRESHOLD) Brake(v);
  const float target = -static_cast<float>(gJoyState.x) * JOY_STEER_SCALE;
  if (v->controller == CONTROL_JOYSTICK)
    v->steerInput += (target - v->steerInput) * JOY_EASE * gRace.timeStep;
  else
    v->steerInput = target;
}

}  // namespace

void VehicleMarkBraking(Vehicle* v) {
  const CarModel* model = gVehicleStep.carModel;
  if (v->brakeCmd == 1 && v->velocity >= 0.0f && v->cameraDistance < 320 && model && model->flag2) v->exhaustFlame = 1;
}

void VehicleReadControls(Vehicle* v) {
  switch (v->controller) {
    case CONTROL_KEYBOARD: ReadKeyboard(v); break;
    case CONTROL_MOUSE: ReadMouse(v); break;
    case CONTROL_JOYSTICK:
    case CONTROL_JOYSTICK_DIRECT: ReadJoystick(v); break;
    default: break;
  }
}
