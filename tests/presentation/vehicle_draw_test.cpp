// Vehicle drawing: which vehicles a view draws, their level of detail, when
// they are hidden, the distance they leave for the simulation, wheels, arms,
// the ice reflection, the light, and debug mode 1's smaller body.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "draw_fixture.h"
#include "frontend/frontend.h"
#include "net/net.h"
#include "platform/app.h"
#include "presentation/presentation.h"
#include "race/assets.h"
#include "race/race.h"
#include "race/track_files.h"
#include "race/tracks.h"
#include "support/gfx_recorder.h"

namespace {

bool IsBody(const std::string& name) { return name.rfind("body ", 0) == 0; }

// The bodies drawn by the object routines and by the vehicle drawing's own
// face loops, in order, by name (each mesh once per run of calls).
std::vector<std::string> BodiesDrawn() {
  std::vector<std::string> out;
  for (const Drawn& d : gDrawn) {
    const std::string name = d.mesh ? MeshName(d.mesh) : "";
    if (!IsBody(name)) continue;
    if (!out.empty() && out.back() == name) continue;
    out.push_back(name);
  }
  return out;
}

// The types of the bodies drawn, in order.
std::vector<int> TypesDrawn() {
  std::vector<int> out;
  for (const std::string& name : BodiesDrawn()) out.push_back(std::stoi(name.substr(5)));
  return out;
}

// The body set of the one vehicle drawn: 0..2 for the body sets, 3 for the far body.
int SetDrawn() {
  std::vector<std::string> bodies = BodiesDrawn();
  if (bodies.size() != 1) return -1;
  const std::string& name = bodies[0];
  return name[name.find('/') + 1] - '0';
}

bool AnythingDrawn() {
  for (const Drawn& d : gDrawn)
    if (d.call == "Lit" || d.call == "Blended" || d.call == "Object" || d.call == "Gouraud") return true;
  return false;
}

// The arm faces: flat faces read from the world pool's reserve.
std::vector<Drawn> ArmFaces() {
  std::vector<Drawn> out;
  for (const Drawn& d : DrawnCalls("Flat"))
    if (!d.mesh) out.push_back(d);
  return out;
}

Vehicle gNet[3];

}  // namespace

// Each view draws every vehicle but its own: by players, mode, network and
// the no-human extra car. Record k has type k + 1, player 1 type 0, the
// network participants types 7, 8 and 9 (the own one is 8).
TEST_F(VehicleDrawTest, EachViewDrawsTheOtherVehicles) {
  struct Case {
    const char* name;
    int32_t players, mode, network;
    uint8_t secondView, noHuman, trajectories;
    bool inset;
    std::vector<int> types;
  };
  const Case cases[] = {
      {"one view", 0, 1, 0, 0, 0, 1, false, {1, 2, 3, 4, 5}},
      {"one view, training", 0, 0, 0, 0, 0, 1, false, {}},
      {"no trajectories", 0, 1, 0, 0, 0, 0, false, {}},
      {"split, first view", 1, 1, 0, 0, 0, 1, false, {1, 2, 3, 4, 5}},
      {"split, first view, training", 1, 0, 0, 0, 0, 1, false, {1}},
      {"split, second view", 1, 1, 0, 1, 0, 1, false, {2, 3, 4, 5, 0}},
      {"split, second view, training", 1, 0, 0, 1, 0, 1, false, {0}},
      {"network", 2, 4, 1, 0, 0, 1, false, {7, 9}},
      {"no-human extra car", 0, 1, 0, 0, 1, 1, false, {1, 2, 3, 4, 5, 6}},
      {"inset", 0, 1, 0, 0, 0, 1, true, {1, 2, 3, 4, 5}},
      {"inset, training", 0, 0, 0, 0, 0, 1, true, {}},
      {"inset, network", 2, 4, 1, 0, 0, 1, true, {7, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandVehicle(&gPlayer1, 0, 0, 0, 100);
    gPlayer1.human = 1;
    for (int k = 0; k < 6; ++k) StandVehicle(&gVehicleRecords[k], k + 1, 20.0f * k, 0, 100);
    for (int k = 0; k < 3; ++k) StandVehicle(&gNet[k], 7 + k, 0, 0, 100);
    gNetParticipants = NetParticipants{};
    gNetParticipants.count = 3;
    for (int k = 0; k < 3; ++k) gNetParticipants.records[k] = &gNet[k];
    gNetParticipants.ownIndex = 1;
    gRace.playersMode = c.players;
    gRace.gameMode = c.mode;
    gRace.networkGame = c.network;
    gRace.viewIndex = c.secondView;
    gRace.noHumanMode = c.noHuman;
    gRace.trajectoriesLoaded = c.trajectories;
    gDrawn.clear();
    if (c.inset)
      VehicleDrawInsetAll();
    else
      VehicleDrawAll();
    EXPECT_EQ(TypesDrawn(), c.types);
  }
}

// The extra car of the no-human mode is drawn at the own vehicle's detail and
// counts as nearest to the camera; the detail byte is given back after it.
TEST_F(VehicleDrawTest, TheExtraCarTakesTheOwnDetailForOneCall) {
  gOptions.detail[0] = 0;
  gOptions.detail[1] = 2;
  gRace.noHumanMode = 1;
  for (int k = 0; k < 5; ++k) StandVehicle(&gVehicleRecords[k], k + 1, 0, 0, 100);
  StandVehicle(&gVehicleRecords[VEHICLE_EXTRA_CAR], 6, 0, 0, 1000);
  VehicleDrawAll();
  EXPECT_EQ(BodiesDrawn(), (std::vector<std::string>{"body 1/2/0", "body 2/2/0", "body 3/2/0", "body 4/2/0",
                                                     "body 5/2/0", "body 6/0/0"}));
  EXPECT_EQ(+gVehicleRecords[VEHICLE_EXTRA_CAR].cameraDistance, 0);
  EXPECT_EQ(+gOptions.detail[1], 2);
}

// The level steps every 160 units of distance up to the far body, never
// below detail byte 1 and never past the four body sets; debug mode 1 keeps
// to the first three.
TEST_F(VehicleDrawTest, TheLevelOfDetailFollowsTheDistance) {
  struct Case {
    float distance;
    uint8_t detail;
    int32_t debugMode;
    int set;
    const char* far;  // how the far body is drawn
  };
  const Case cases[] = {
      {10, 0, 0, 0, ""},         {159.5f, 0, 0, 0, ""},          {160, 0, 0, 1, ""},
      {319, 0, 0, 1, ""},        {320, 0, 0, 2, ""},             {480, 0, 0, 3, "Gouraud"},
      {1280, 0, 0, 3, "Gouraud"}, {1281, 0, 0, 3, "Object"},     {100, 2, 0, 2, ""},
      {1000, 2, 0, 3, "Gouraud"}, {1000, 0, 1, 2, ""},           {100, 7, 0, 3, "Gouraud"},
      {100, 255, 0, 3, "Gouraud"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.distance << " detail " << +c.detail << " debug " << c.debugMode);
    gOptions.detail[1] = c.detail;
    gRace.debugMode = c.debugMode;
    Vehicle& v = gVehicleRecords[1];
    StandVehicle(&v, 2, 0, 0, c.distance);
    gDrawn.clear();
    VehicleDrawOther(&v, nullptr);
    EXPECT_EQ(SetDrawn(), c.set);
    if (*c.far) {
      bool found = false;
      for (const Drawn& d : DrawnCalls(c.far)) found = found || (d.mesh && MeshName(d.mesh) == "body 2/3/0");
      EXPECT_TRUE(found);
    }
    // The driver rides along at levels 0 and 1 only.
    EXPECT_EQ(DrawnCalls("Animate").size(), c.set <= 1 ? 1u : 0u);
  }
  EXPECT_TRUE(gFatalErrors.empty());
}

// A vehicle being reset blinks on its own timer; one just put back flickers
// with the ticks. The own vehicle blinks only before it has finished and
// flickers only in the chase view. A hidden vehicle sends nothing to the
// accelerator.
TEST_F(VehicleDrawTest, BlinkAndFlickerHideTheVehicle) {
  struct Case {
    bool own;
    int32_t state;
    uint8_t finished;
    uint32_t elapsed;
    float hitProtect;
    int32_t ticks;
    uint8_t view;
    bool shown;
  };
  const Case cases[] = {
      {false, VEHICLE_RESETTING, 0, 0, 0, 0, 0, false},   {false, VEHICLE_RESETTING, 0, 255, 0, 0, 0, false},
      {false, VEHICLE_RESETTING, 0, 256, 0, 0, 0, true},  {false, VEHICLE_RESETTING, 0, 511, 0, 0, 0, true},
      {false, VEHICLE_RESETTING, 0, 512, 0, 0, 0, false}, {false, VEHICLE_RESETTING, 1, 100, 0, 0, 0, false},
      {true, VEHICLE_RESETTING, 0, 100, 0, 0, 0, false},  {true, VEHICLE_RESETTING, 1, 100, 0, 0, 0, true},
      {true, VEHICLE_RESETTING, 0, 300, 0, 0, 0, true},   {false, VEHICLE_ON_GROUND, 0, 0, 150, 8, 0, false},
      {false, VEHICLE_ON_GROUND, 0, 0, 150, 9, 0, false}, {false, VEHICLE_ON_GROUND, 0, 0, 150, 10, 0, true},
      {false, VEHICLE_ON_GROUND, 0, 0, 0, 8, 0, true},    {true, VEHICLE_ON_GROUND, 0, 0, 150, 16, 0, false},
      {true, VEHICLE_ON_GROUND, 0, 0, 150, 16, 1, true},  {true, VEHICLE_ON_GROUND, 0, 0, 150, 15, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "own " << c.own << " state " << c.state << " finished " << +c.finished
                                    << " elapsed " << c.elapsed << " hit " << c.hitProtect << " ticks " << c.ticks
                                    << " view " << +c.view);
    Vehicle& v = c.own ? gPlayer1 : gVehicleRecords[1];
    StandVehicle(&v, 2, 0, 0, 100);
    v.human = c.own ? 1 : 0;
    v.timerSlot = 4;
    v.state = c.state;
    v.finished = c.finished;
    v.hitProtect = c.hitProtect;
    v.viewActive = c.view;
    AppTimerSet(4, c.elapsed);
    gRace.ticks = c.ticks;
    gDrawn.clear();
    RecordStart();
    if (c.own)
      VehicleDrawOwn(&v, 0);
    else
      VehicleDrawOther(&v, nullptr);
    const std::vector<GfxCall> drawn = DrawCalls(RecordStop());
    EXPECT_EQ(AnythingDrawn(), c.shown);
    EXPECT_EQ(!drawn.empty(), c.shown);
  }
}

// Every other vehicle's distance is written, drawn or not: behind the
// camera, beyond the far plane, hidden. A human-driven one counts 0; in
// split screen the nearer of the two views counts.
TEST_F(VehicleDrawTest, TheCameraDistanceIsWrittenForEveryOtherVehicle) {
  Vehicle& v = gVehicleRecords[2];
  struct Case {
    const char* name;
    float z;
    uint8_t human;
    int32_t state;
    int32_t distance;
    bool shown;
  };
  const Case cases[] = {
      {"in front", 250.7f, 0, VEHICLE_ON_GROUND, 250, true},
      {"just behind", -49.0f, 0, VEHICLE_ON_GROUND, 49, true},
      {"behind", -500.0f, 0, VEHICLE_ON_GROUND, 500, false},
      {"beyond the far plane", 1760.0f, 0, VEHICLE_ON_GROUND, 1760, false},
      {"blinking", 300.0f, 0, VEHICLE_RESETTING, 300, false},
      {"human", 300.0f, 1, VEHICLE_ON_GROUND, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandVehicle(&v, 3, 0, 0, c.z);
    v.human = c.human;
    v.state = c.state;
    v.timerSlot = 5;
    AppTimerSet(5, 0);
    v.cameraDistance = 12345;
    gDrawn.clear();
    VehicleDrawOther(&v, nullptr);
    EXPECT_EQ(+v.cameraDistance, c.distance);
    EXPECT_EQ(AnythingDrawn(), c.shown);
  }

  // Split screen: the second view keeps the smaller of the two, either way round.
  for (float second : {-100.0f, 500.0f}) {
    SCOPED_TRACE(second);
    StandVehicle(&v, 3, 0, 0, 0);
    gRace.viewIndex = 0;
    LookFrom(-300.0f);
    VehicleDrawOther(&v, nullptr);
    EXPECT_EQ(+v.cameraDistance, 300);
    gRace.viewIndex = 1;
    LookFrom(second);
    VehicleDrawOther(&v, nullptr);
    EXPECT_EQ(+v.cameraDistance, std::min(300, static_cast<int>(std::abs(second))));
  }

  // An inset view (the mirror) leaves the distance the views measured.
  gRace.viewIndex = 0;
  LookFrom(-300.0f);
  VehicleDrawOther(&v, nullptr);
  gViewInsetPass = 1;
  LookFrom(-50.0f);
  VehicleDrawOther(&v, nullptr);
  gViewInsetPass = 0;
  EXPECT_EQ(+v.cameraDistance, 300);
}

// A lost wheel takes its arm with it; the other three and their arms stay.
TEST_F(VehicleDrawTest, ALostWheelDrawsNeitherWheelNorArm) {
  Vehicle& v = gPlayer1;
  StandVehicle(&v, 0, 0, 0, 100);  // type 0 has suspension arms
  v.human = 1;
  v.wheels[WHEEL_FRONT_RIGHT].attached = 0;
  VehicleDrawOwn(&v, 0);
  std::vector<std::string> wheels;
  for (const Drawn& d : DrawnCalls("Lit"))
    if (MeshName(d.mesh).rfind("wheel", 0) == 0) wheels.push_back(MeshName(d.mesh));
  // Front left is mesh 2, the rear wheels 0 and 1, of the clones of set 0.
  EXPECT_EQ(wheels, (std::vector<std::string>{"wheel 0/3/2", "wheel 0/3/0", "wheel 0/3/1"}));
  const std::vector<Drawn> arms = ArmFaces();
  ASSERT_EQ(arms.size(), 9u);
  // Each face starts at the arm's outer end, on a wheel (looking along +z,
  // world x = -view x): front left at 6.6, the rear wheels at 7.2 and -7.2.
  std::set<int> outer;
  for (const Drawn& d : arms) {
    EXPECT_EQ(+d.face.type, 0x080808u);
    outer.insert(static_cast<int>(std::lround(-d.corners[0].viewX * 10.0f)));
  }
  EXPECT_EQ(outer, (std::set<int>{66, 72, -72}));
  EXPECT_FLOAT_EQ(+v.wheels[WHEEL_FRONT_RIGHT].centre[0], -6.6f);
  // The inner ends lie on the body's axis, the front arm's length (11) ahead
  // of the body point at z 100, the rear one's (-11.51) behind it; each
  // quad's last corner is at the inner end or 0.7 nearer.
  std::set<int> inner;
  for (const Drawn& d : arms) {
    EXPECT_NEAR(+d.corners[3].viewX, 0.0f, 1e-3f);
    inner.insert(static_cast<int>(std::lround(d.corners[3].viewZ * 100.0f)));
  }
  EXPECT_EQ(inner, (std::set<int>{11100, 11030, 8849, 8779}));
}

// Each wheel is turned from its source by its axle's turn angle, the front
// ones also by the steering (trunc(steerInput x 128 x 0.003125)) and each by
// its bend; the outside steering wheel turns against the steering.
TEST_F(VehicleDrawTest, TheWheelsTurnAndTheFrontOnesSteer) {
  Vehicle& v = gPlayer1;
  StandVehicle(&v, 1, 0, 0, 100);
  v.human = 1;
  v.steerInput = -201.0f;  // steering -80
  v.wheelTurnFront = 100.9f;
  v.wheelTurnRear = 300.2f;
  v.wheels[WHEEL_REAR_LEFT].bend = 12;
  VehicleDrawOwn(&v, 0);
  struct Case {
    int mesh;
    int32_t a, b, c;
  };
  const Case cases[] = {{2, 100, -80, 0}, {3, 100, -80, 0}, {0, 300, 0, 12}, {1, 300, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mesh);
    float m[9];
    MatFromAngles(c.a, c.b, c.c, m);
    const MeshHeader* source = gCarModels[1].wheels[0][c.mesh];
    const MeshHeader* instance = gCarModels[1].wheels[3][c.mesh];
    for (uint32_t i = 0; i < source->vertexCount; ++i) {
      const Vertex& s = source->vertices[i];
      EXPECT_FLOAT_EQ(+instance->vertices[i].x, m[0] * s.x + m[1] * s.y + m[2] * s.z);
      EXPECT_FLOAT_EQ(+instance->vertices[i].y, m[3] * s.x + m[4] * s.y + m[5] * s.z);
      EXPECT_FLOAT_EQ(+instance->vertices[i].normalZ, m[6] * s.normalX + m[7] * s.normalY + m[8] * s.normalZ);
    }
    EXPECT_EQ(+instance->angle[2], 512);  // the wheels take the frame angles
  }
  float m[9];
  MatFromAngles(-56, 0, 512 + 80, m);
  const Vertex& s = gVehicleAssets.driverWheel->vertices[5];
  EXPECT_FLOAT_EQ(+gVehicleAssets.driverWheelClone->vertices[5].x, m[0] * s.x + m[1] * s.y + m[2] * s.z);
  // Placed 1.9 below and 2.0 ahead of the eye point.
  const std::vector<Drawn> outside = DrawnCalls("LitTwoSided");
  ASSERT_EQ(outside.size(), 1u);
  EXPECT_FLOAT_EQ(+outside[0].slot.y, v.eyePoint[1] - 1.9f);
  EXPECT_FLOAT_EQ(+outside[0].slot.z, v.eyePoint[2] + 2.0f);
}

// The tyre faces take the paint's tyre texture and their t coordinates are
// divided by the tread blur: exactly as they were at a factor of 1.0, and at
// 1.0 for another vehicle from distance 320 on. s never changes.
TEST_F(VehicleDrawTest, TheTreadBlurStretchesTheTyreFaces) {
  struct Case {
    bool own;
    float distance;
    float blur;
    float divisor;
  };
  const Case cases[] = {
      {true, 100, 1.0f, 1.0f},  {true, 100, 2.0f, 2.0f},  {true, 1000, 3.0f, 3.0f},
      {false, 100, 2.0f, 2.0f}, {false, 319, 2.0f, 2.0f}, {false, 320, 2.0f, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "own " << c.own << " distance " << c.distance << " blur " << c.blur);
    Vehicle& v = c.own ? gPlayer1 : gVehicleRecords[0];
    StandVehicle(&v, 1, 0, 0, c.distance);
    v.human = c.own ? 1 : 0;
    v.treadBlurFront = v.treadBlurRear = c.blur;
    v.paintIndex = 3;
    if (c.own)
      VehicleDrawOwn(&v, 0);
    else
      VehicleDrawOther(&v, nullptr);
    const int set = c.own ? 0 : static_cast<int>(c.distance) / 160;
    const MeshHeader* source = gCarModels[1].wheels[set][2];
    const MeshHeader* instance = gCarModels[1].wheels[set + 3][2];
    for (uint32_t f = 0; f < source->faceCount; ++f) {
      const Face& from = source->faces[f];
      const Face& to = instance->faces[f];
      if (!from.tag) continue;
      EXPECT_EQ(+to.type, FACE_TEX_LIT << 24 | 103u);
      for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(+to.st[2 * k], +from.st[2 * k]);
        if (c.divisor == 1.0f)
          EXPECT_EQ(std::memcmp(&to.st[2 * k + 1], &from.st[2 * k + 1], sizeof(float)), 0);
        else
          EXPECT_FLOAT_EQ(+to.st[2 * k + 1], from.st[2 * k + 1] / c.divisor);
      }
    }
  }
}

// On the ice every wheel, arm and body is drawn again upside down below the
// ice, flattened where it would rise above it; the driver and the steering
// wheel are not, and there is no shadow.
TEST_F(VehicleDrawTest, TheIceMirrorsThePiecesBelowTheSurface) {
  for (uint8_t ice : {0, 1}) {
    SCOPED_TRACE(+ice);
    gIceReflections = ice;
    Vehicle& v = gPlayer1;
    StandVehicle(&v, 0, 0, 0, 100);
    v.human = 1;
    gDrawn.clear();
    VehicleDrawOwn(&v, 0);
    std::vector<std::string> mirrored;
    float highest = -1e9f;
    for (const Drawn& d : gDrawn) {
      if ((d.call != "Decal" && d.call != "Flat") || !d.mesh) continue;
      const std::string name = MeshName(d.mesh);
      if (mirrored.empty() || mirrored.back() != name) mirrored.push_back(name);
      // Looking level along +z from height 20: world y = 20 - view y.
      for (const Vertex& corner : d.corners) highest = std::max(highest, 20.0f - corner.viewY);
    }
    if (!ice) {
      EXPECT_TRUE(mirrored.empty());
      EXPECT_EQ(ArmFaces().size(), 12u);
      EXPECT_EQ(DrawnCalls("Shadow").size(), 1u);
      continue;
    }
    std::sort(mirrored.begin(), mirrored.end());
    EXPECT_EQ(mirrored, (std::vector<std::string>{"body 0/0/0", "wheel 0/3/0", "wheel 0/3/1", "wheel 0/3/2",
                                                  "wheel 0/3/3"}));
    EXPECT_LE(highest, 0.001f);
    EXPECT_EQ(ArmFaces().size(), 24u);
    EXPECT_TRUE(DrawnCalls("Shadow").empty());
  }
  // Beyond a view depth of 1500 another vehicle is drawn without its copy.
  StandVehicle(&gVehicleRecords[0], 1, 0, 0, 1501);
  gOptions.detail[1] = 1;
  gDrawn.clear();
  VehicleDrawOther(&gVehicleRecords[0], nullptr);
  EXPECT_EQ(BodiesDrawn(), std::vector<std::string>{"body 1/3/0"});
  EXPECT_TRUE(DrawnCalls("Decal").empty());
}

// The far body lights each vertex from its turned normal: 32 plus the
// light's share, at least the ambient value, 63 once it reaches 64.
TEST_F(VehicleDrawTest, TheFarBodyLightsEachVertex) {
  // Light straight down the y axis with intensity 32 and ambient 10 (the fixture's).
  MeshHeader* mesh = TestMeshWithNormals({{0, 1024, 0}, {0, 512, 0}, {0, -1024, 0}, {1024, 0, 0}, {0, 1008, 0}});
  const float expected[] = {63.0f, 48.0f, 10.0f, 32.0f, 63.5f};
  mesh->angle[2] = 512;  // as a body standing level: y kept, x turned
  DrawSlot object{};
  object.z = 100.0f;
  object.viewZ = 100.0f;
  VehicleDrawLowDetail(&object, mesh, 0);
  for (uint32_t i = 0; i < mesh->vertexCount; ++i) EXPECT_FLOAT_EQ(+mesh->vertices[i].light, expected[i]) << i;

  // Outside -195 .. far + 200 nothing is touched.
  for (float depth : {-196.0f, 1901.0f}) {
    for (uint32_t i = 0; i < mesh->vertexCount; ++i) mesh->vertices[i].light = -1.0f;
    object.viewZ = depth;
    VehicleDrawLowDetail(&object, mesh, 0);
    EXPECT_FLOAT_EQ(+mesh->vertices[0].light, -1.0f) << depth;
  }
}

// A tinted vehicle gets the tint's colour and a body light of its mean
// brightness times the car's light factor / 256; the race's colour comes
// back after it, before the next vehicle.
TEST_F(VehicleDrawTest, TheGroundTintLightsOneVehicle) {
  gRace.lightColour[0] = 250;
  gRace.lightColour[1] = 240;
  gRace.lightColour[2] = 230;
  StandVehicle(&gVehicleRecords[0], 0, 0, 0, 100);  // light factor 100
  StandVehicle(&gVehicleRecords[1], 1, 30, 0, 100);  // light factor 150
  Vehicle& tinted = gVehicleRecords[0];
  tinted.tintValid = 1;
  tinted.tintRed = 200;
  tinted.tintGreen = 50;
  tinted.tintBlue = 100;
  VehicleDrawOther(&gVehicleRecords[0], nullptr);
  VehicleDrawOther(&gVehicleRecords[1], nullptr);
  std::vector<std::string> order;
  for (const Drawn& d : gDrawn) {
    if (d.call == "LightColour")
      order.push_back("colour " + std::to_string(d.args[0]) + "," + std::to_string(d.args[1]) + "," +
                      std::to_string(d.args[2]));
    else if (d.call == "ColourOn" || d.call == "ColourOff")
      order.push_back(d.call);
    else if (d.call == "Blended")
      order.push_back(MeshName(d.mesh) + " x " + std::to_string(static_cast<int>(d.factor)));
  }
  // (200 + 50 + 100) / 3 = 116; 116 x 100 / 256 = 45.
  EXPECT_EQ(order, (std::vector<std::string>{"colour 200,50,100", "ColourOn", "body 0/0/0 x 45", "colour 250,240,230",
                                             "ColourOff", "body 1/0/0 x 150"}));
}

// Debug mode 1 draws the body smaller and leaves the model exactly as it was,
// however often it is drawn.
TEST_F(VehicleDrawTest, DebugModeOneShrinksTheBodyOnlyWhileItIsDrawn) {
  gRace.debugMode = 1;
  Vehicle& v = gPlayer1;
  StandVehicle(&v, 0, 0, 0, 100);
  v.human = 1;
  v.exhaustFlame = 1;
  const MeshHeader* body = gCarModels[0].body[0][0];
  const std::vector<Vertex> before(body->vertices, body->vertices + body->vertexCount);
  for (int frame = 0; frame < 500; ++frame) {
    gDrawn.clear();
    VehicleDrawOwn(&v, 0);
  }
  for (uint32_t i = 0; i < body->vertexCount; ++i) {
    EXPECT_EQ(std::memcmp(&body->vertices[i].x, &before[i].x, 3 * sizeof(float)), 0) << i;
  }
  const std::vector<Drawn> drawn = DrawnCalls("Blended");
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_FLOAT_EQ(+drawn[0].first.x, before[0].x * 0.625f);
  EXPECT_FLOAT_EQ(+drawn[0].first.y, before[0].y * 0.833333f);
  EXPECT_FLOAT_EQ(+drawn[0].first.z, before[0].z * 0.625f);
  EXPECT_TRUE(DrawnCalls("Flames").empty());
}

// The own vehicle by its view: nothing on board, the front wheels with the
// near plane at 1 in the car, everything in the chase view with its trails,
// shadow and flames; the fly-in counts as the chase view.
TEST_F(VehicleDrawTest, TheOwnVehicleIsDrawnByItsView) {
  struct Case {
    const char* name;
    uint8_t view, flyIn, markLaid, flame, damage;
    int32_t type, viewNumber;
    std::vector<std::string> calls;
  };
  const std::string body = "Blended body 0/0/0", driver = "Lit driver", clone = "Lit driver clone 0";
  const std::string wheel = "Lit wheel 0/3/", steer = "LitTwoSided outside wheel clone";
  const Case cases[] = {
      {"on board", 2, 0, 0, 0, 0, 0, 0, {}},
      {"in the car", 1, 0, 0, 0, 7, 0, 0,
       {"DepthRange 1,1700", wheel + "2", wheel + "3", "Fire", "DepthRange 5,1700"}},
      {"chase", 0, 0, 0, 1, 0, 0, 0,
       {wheel + "2", wheel + "3", wheel + "0", wheel + "1", body, driver, steer, "Trail", "Trail", "Trail", "Trail",
        "Shadow", "Flames"}},
      {"fly-in on board", 2, 1, 1, 0, 7, 0, 2,
       {wheel + "2", wheel + "3", wheel + "0", wheel + "1", "Fire", "Blended body 0/0/7", clone, steer, "Shadow"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Vehicle& v = gPlayer1;
    StandVehicle(&v, c.type, 0, 0, 100);
    v.human = 1;
    v.viewActive = c.view;
    gRace.flyInActive = c.flyIn;
    v.markLaid = c.markLaid;
    v.exhaustFlame = c.flame;
    v.damageStage = c.damage;
    gDrawn.clear();
    VehicleDrawOwn(&v, c.viewNumber);
    std::vector<std::string> calls;
    for (const Drawn& d : gDrawn) {
      if (d.call == "DepthRange")
        calls.push_back("DepthRange " + std::to_string(d.args[0]) + "," + std::to_string(d.args[1]));
      else if (d.call == "Lit" || d.call == "Blended" || d.call == "LitTwoSided")
        calls.push_back(d.call + " " + MeshName(d.mesh));
      else if (d.call == "Fire" || d.call == "Trail" || d.call == "Shadow" || d.call == "Flames")
        calls.push_back(d.call);
    }
    EXPECT_EQ(calls, c.calls);
  }
}
