#include "tools/datakit/lib/track_writer.h"

namespace datakit {

namespace {
constexpr int32_t CAMERA_SPOTS = 50;
constexpr int32_t PATH_POINTS = 100;
constexpr int32_t SAVE_SLOTS = 14;
}  // namespace

Bytes TrackMeshFileWrite(const KitMesh& mesh, const std::vector<KitPlacement>& placements) {
  ByteWriter w;
  w.U32(static_cast<uint32_t>(mesh.faces.size()));
  for (const KitFace& f : mesh.faces) WriteKitFace(w, f);
  w.U32(static_cast<uint32_t>(mesh.vertices.size()));
  for (const KitVertex& v : mesh.vertices) WriteKitVertex(w, v);
  w.U32(static_cast<uint32_t>(placements.size()));
  for (const KitPlacement& p : placements) {
    w.U16(p.yaw);
    w.U16(p.second);
    w.U8(p.counterSlot);
    w.U16(p.type);
    w.F32(p.x);
    w.F32(p.y);
    w.F32(p.z);
  }
  return w.Take();
}

Bytes CameraFileWrite(const std::vector<KitCameraSpot>& spots) {
  ByteWriter w;
  for (int32_t i = 0; i < CAMERA_SPOTS; ++i) {
    const KitCameraSpot s = i < static_cast<int32_t>(spots.size()) ? spots[i] : KitCameraSpot{};
    w.U8(s.inUse);
    w.U32(static_cast<uint32_t>(s.kind));
    for (float f : {s.x, s.y, s.z, s.pitch, s.heading, s.roll}) w.F32(f);
  }
  return w.Take();
}

Bytes PathFileWrite(const std::vector<KitPoint>& points) {
  ByteWriter w;
  const size_t n = points.size() < PATH_POINTS ? points.size() : PATH_POINTS;
  w.U32(static_cast<uint32_t>(n));
  for (int32_t i = 0; i < PATH_POINTS; ++i) {
    const KitPoint p = static_cast<size_t>(i) < n ? points[i] : KitPoint{0.0f, 0.0f};
    w.F32(p.x);
    w.F32(p.z);
  }
  return w.Take();
}

Bytes SaveImageWrite(const std::vector<KitSaveSlot>& slots) {
  ByteWriter w;
  auto i32 = [&](int32_t v) { w.U32(static_cast<uint32_t>(v)); };
  for (int32_t i = 0; i < SAVE_SLOTS; ++i) {
    const KitSaveSlot s = i < static_cast<int32_t>(slots.size()) ? slots[i] : KitSaveSlot{};
    i32(s.used);
    w.Raw(s.label, sizeof s.label);
    w.Raw(s.date, sizeof s.date);
    w.Raw(s.options, sizeof s.options);
    i32(s.trackIndex);
    i32(s.playersMode);
    i32(s.gameMode);
    for (int32_t v : s.controllerType) i32(v);
    for (int32_t v : s.vehicleType) i32(v);
    w.Raw(s.kit, sizeof s.kit);
    for (int32_t v : s.computerRank) i32(v);
    for (int32_t v : s.playerRank) i32(v);
    for (int32_t v : s.computerPoints) i32(v);
    for (int32_t v : s.playerPoints) i32(v);
  }
  return w.Take();
}

Bytes PositionMapWrite(const std::vector<uint8_t>& codes) {
  ByteWriter w;
  w.U16(POSITION_MAP_WIDTH);
  w.U16(POSITION_MAP_HEIGHT);
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) w.U8(static_cast<uint8_t>(i));
  for (uint32_t i = 0; i < POSITION_MAP_WIDTH * POSITION_MAP_HEIGHT; ++i) w.U8(i < codes.size() ? codes[i] : 0);
  return w.Take();
}

}  // namespace datakit
