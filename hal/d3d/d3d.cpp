// The device layer's objects and their surfaces: driver objects, surfaces
// with lock and blit on CPU copies, handles and their release. The display's
// buffers live in d3d_display.cpp, the device's OpenGL state in d3d_gl.cpp.
#include "hal/d3d/d3d.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "hal/d3d/d3d_internal.h"
#include "hal/d3d/devices.h"

namespace hal_d3d {

// ---- Recording and failures ------------------------------------------------

std::vector<std::string>* gLog;

namespace {
std::map<std::string, int32_t> gFailures;
}  // namespace

bool Call(const char* name, const std::string& args) {
  if (gLog) gLog->push_back(args.empty() ? std::string(name) : std::string(name) + " " + args);
  auto it = gFailures.find(name);
  if (it == gFailures.end() || it->second <= 0) return true;
  --it->second;
  return false;
}

std::string Args(std::initializer_list<long long> values) {
  std::string s;
  for (long long v : values) {
    if (!s.empty()) s += ' ';
    s += std::to_string(v);
  }
  return s;
}

// ---- Objects ---------------------------------------------------------------

std::map<HalObject, std::unique_ptr<Object>> gObjects;

namespace {
HalObject gNextHandle = 1;
}  // namespace

Object* Find(HalObject handle, Kind kind) {
  auto it = gObjects.find(handle);
  if (it == gObjects.end() || it->second->kind != kind) return nullptr;
  return it->second.get();
}

HalObject Add(Kind kind) {
  HalObject h = gNextHandle++;
  auto obj = std::make_unique<Object>();
  obj->kind = kind;
  gObjects[h] = std::move(obj);
  return h;
}

// ---- Pixel formats ------------------------------------------------------------

Channels ChannelsOf(HalPixelFormat f) {
  switch (f) {
    case HAL_PIXEL_RGB565: return {5, 6, 5, 0, 11, 5, 0, 0};
    case HAL_PIXEL_RGB555: return {5, 5, 5, 0, 10, 5, 0, 0};
    case HAL_PIXEL_ARGB1555: return {5, 5, 5, 1, 10, 5, 0, 15};
    case HAL_PIXEL_ARGB4444: return {4, 4, 4, 4, 8, 4, 0, 12};
    default: return {0, 0, 0, 0, 0, 0, 0, 0};
  }
}

uint16_t Convert(uint16_t p, HalPixelFormat from, HalPixelFormat to) {
  if (from == to) return p;
  Channels a = ChannelsOf(from), b = ChannelsOf(to);
  auto take = [&](int bits, int shift, int outBits) -> uint32_t {
    uint32_t v = (p >> shift) & ((1u << bits) - 1);
    return bits >= outBits ? v >> (bits - outBits) : v << (outBits - bits);
  };
  uint32_t out = take(a.r, a.rs, b.r) << b.rs | take(a.g, a.gs, b.g) << b.gs | take(a.b, a.bs, b.b) << b.bs;
  if (b.a) out |= (a.a ? take(a.a, a.as, b.a) : (1u << b.a) - 1) << b.as;
  return static_cast<uint16_t>(out);
}

HalPixelFormat DisplayFormat() { return gDisplay.rgb555 ? HAL_PIXEL_RGB555 : HAL_PIXEL_RGB565; }

// ---- Surface pixels ---------------------------------------------------------------

HalRect Clamp(HalRect r, const Surface& s) {
  r.left = std::clamp(r.left, 0, s.width);
  r.right = std::clamp(r.right, r.left, s.width);
  r.top = std::clamp(r.top, 0, s.height);
  r.bottom = std::clamp(r.bottom, r.top, s.height);
  return r;
}

Surface* SurfaceOf(HalObject h) {
  Object* o = Find(h, Kind::SURFACE);
  return o ? &o->surface : nullptr;
}

std::string Rect(const HalRect* r) {
  return r ? Args({r->left, r->top, r->right, r->bottom}) : std::string("all");
}

namespace {

bool IsDisplayBuffer(const Surface& s) { return s.role == Role::PRIMARY || s.role == Role::BACK; }

int32_t DisplayBufferIndex(const Surface& s) { return s.role == Role::BACK ? gDisplay.back : 1 - gDisplay.back; }

// The display's buffers keep their pixels in OpenGL; a lock or a copy takes
// them into the surface's CPU copy and puts them back afterwards.
bool Fetch(Surface& s) {
  if (!IsDisplayBuffer(s)) return true;
  if (!gDisplay.fbo[0]) return false;
  s.width = gDisplay.width;
  s.height = gDisplay.height;
  s.format = DisplayFormat();
  s.pitch = s.width * 2;
  s.pixels.resize(static_cast<size_t>(s.pitch) * s.height);
  ReadBuffer(DisplayBufferIndex(s), reinterpret_cast<uint16_t*>(s.pixels.data()), s.width);
  return true;
}

void Store(Surface& s) {
  if (IsDisplayBuffer(s)) {
    if (gDisplay.fbo[0]) WriteBuffer(DisplayBufferIndex(s), reinterpret_cast<uint16_t*>(s.pixels.data()), s.width);
    return;
  }
  s.dirty = true;
}

uint16_t* Pixel(Surface& s, int32_t x, int32_t y) {
  return reinterpret_cast<uint16_t*>(s.pixels.data() + static_cast<size_t>(y) * s.pitch) + x;
}

HalRect Whole(const Surface& s) { return {0, 0, s.width, s.height}; }

bool KeyMatches(const Surface& s, uint16_t p) {
  Channels c = ChannelsOf(s.format);
  const uint32_t r = (p >> c.rs) & ((1u << c.r) - 1), g = (p >> c.gs) & ((1u << c.g) - 1),
                 b = (p >> c.bs) & ((1u << c.b) - 1);
  const uint32_t kr = (s.keyLow >> 16 & 0xFF) >> (8 - c.r), kg = (s.keyLow >> 8 & 0xFF) >> (8 - c.g),
                 kb = (s.keyLow & 0xFF) >> (8 - c.b);
  return r == kr && g == kg && b == kb;
}

void DestroyObject(HalObject h, Object& o) {
  if (o.kind == Kind::SURFACE) {
    Surface& s = o.surface;
    if (s.glTexture && gDisplay.glReady) {
      Flush();
      glDeleteTextures(1, &s.glTexture);
      gAppliedValid = false;
    }
    if (s.role == Role::PRIMARY && gDisplay.primary == h) {
      ReleaseDisplayBuffers();
      gDisplay.primary = 0;
    }
  }
  if (o.kind == Kind::DEVICE && gDevice.handle == h) gDevice = Device{};
  if (o.kind == Kind::VIEWPORT && gDevice.viewport == h) gDevice.viewport = 0;
  if (o.kind == Kind::TEXTURE && gDevice.texture == h) gDevice.texture = 0;
}

}  // namespace

}  // namespace hal_d3d

using namespace hal_d3d;

// ---- Driver objects -------------------------------------------------------------

HalObject HalDDrawCreate(int32_t deviceIndex) {
  if (!Call("DirectDrawCreate", Args({deviceIndex}))) return 0;
  if (!HalDeviceAt(deviceIndex)) return 0;
  HalObject h = Add(Kind::DDRAW);
  gObjects[h]->deviceIndex = deviceIndex;
  return h;
}

bool HalDDrawSetCooperativeLevel(HalObject ddraw, uint32_t window) {
  if (!Call("SetCooperativeLevel", Args({window}))) return false;
  return Find(ddraw, Kind::DDRAW) != nullptr;
}

bool HalDDrawSetDisplayMode(HalObject ddraw, int32_t width, int32_t height, int32_t bitsPerPixel) {
  if (!Call("SetDisplayMode", Args({width, height, bitsPerPixel}))) return false;
  if (!Find(ddraw, Kind::DDRAW) || bitsPerPixel != 16 || width <= 0 || height <= 0 || width > 4096 ||
      height > 4096)
    return false;
  if (gDisplay.primary) return false;  // the flip chain has the old size
  gDisplay.width = width;
  gDisplay.height = height;
  gDisplay.rgb555 = gDisplay.want555;
  return true;
}

HalObject HalDDrawCreateSurface(HalObject ddraw, const HalSurfaceDesc& desc) {
  if (!Call("CreateSurface", Args({desc.caps, desc.width, desc.height, desc.format}))) return 0;
  Object* dd = Find(ddraw, Kind::DDRAW);
  if (!dd) return 0;
  Surface s;
  s.caps = desc.caps;
  s.sourceKey = desc.sourceColourKey;
  if (desc.caps & HAL_CAPS_PRIMARY) {
    const HalDevice* device = HalDeviceAt(dd->deviceIndex);
    if (!device || device->primarySurfaceFails || gDisplay.primary || gDisplay.width <= 0) return 0;
    if (!CreateDisplayBuffers()) return 0;
    s.role = Role::PRIMARY;
    HalObject h = Add(Kind::SURFACE);
    gObjects[h]->surface = s;
    gDisplay.primary = h;
    return h;
  }
  if (desc.caps & HAL_CAPS_ZBUFFER) {
    s.role = Role::DEPTH;
    s.width = desc.width;
    s.height = desc.height;
    s.format = HAL_PIXEL_Z16;
  } else {
    if (desc.width <= 0 || desc.height <= 0 || desc.width > 4096 || desc.height > 4096) return 0;
    s.width = desc.width;
    s.height = desc.height;
    s.format = desc.format == HAL_PIXEL_NONE ? DisplayFormat() : desc.format;
    if (s.format == HAL_PIXEL_Z16) return 0;
    // Rows padded to 8 bytes: callers must go by the pitch.
    s.pitch = (s.width * 2 + 7) & ~7;
    s.pixels.assign(static_cast<size_t>(s.pitch) * s.height, 0);
  }
  HalObject h = Add(Kind::SURFACE);
  gObjects[h]->surface = std::move(s);
  return h;
}

HalObject HalDDrawCreateClipper(HalObject ddraw) {
  if (!Call("CreateClipper")) return 0;
  return Find(ddraw, Kind::DDRAW) ? Add(Kind::CLIPPER) : 0;
}

bool HalDDrawGetAvailableVidMem(HalObject ddraw, uint32_t caps, uint32_t* total, uint32_t* available) {
  if (!Call("GetAvailableVidMem", Args({caps}))) return false;
  Object* dd = Find(ddraw, Kind::DDRAW);
  const HalDevice* device = dd ? HalDeviceAt(dd->deviceIndex) : nullptr;
  if (!device) return false;
  const uint64_t bytes = (caps & HAL_CAPS_TEXTURE) ? device->textureMemory : device->localVideoMemory;
  const uint32_t value = static_cast<uint32_t>(std::min<uint64_t>(bytes, UINT32_MAX));
  if (total) *total = value;
  if (available) *available = value;
  return true;
}

bool HalDDrawFlipToGdi(HalObject ddraw) {
  Call("FlipToGDISurface");
  return Find(ddraw, Kind::DDRAW) != nullptr;
}

HalObject HalDDrawQuery3d(HalObject ddraw) {
  if (!Call("QueryInterface3D")) return 0;
  Object* dd = Find(ddraw, Kind::DDRAW);
  if (!dd) return 0;
  const int32_t index = dd->deviceIndex;
  HalObject h = Add(Kind::D3D);
  gObjects[h]->deviceIndex = index;
  return h;
}

// ---- Surfaces ----------------------------------------------------------------

HalObject HalSurfaceGetBackBuffer(HalObject primary) {
  if (!Call("GetAttachedSurface")) return 0;
  Surface* p = SurfaceOf(primary);
  if (!p || p->role != Role::PRIMARY) return 0;
  HalObject h = Add(Kind::SURFACE);
  gObjects[h]->surface.role = Role::BACK;
  gObjects[h]->surface.caps = HAL_CAPS_BACKBUFFER | HAL_CAPS_3DDEVICE | HAL_CAPS_VIDEOMEMORY;
  return h;
}

bool HalSurfaceAddAttachedDepth(HalObject surface, HalObject depth) {
  if (!Call("AddAttachedSurface")) return false;
  Surface* s = SurfaceOf(surface);
  Surface* z = SurfaceOf(depth);
  if (!s || !z || s->role != Role::BACK || z->role != Role::DEPTH || z->width != gDisplay.width ||
      z->height != gDisplay.height || !gDisplay.fbo[0] || gDisplay.depth)
    return false;
  if (!AttachDepth()) return false;
  s->depth = depth;
  return true;
}

bool HalSurfaceGetDesc(HalObject surface, HalSurfaceDesc* desc) {
  if (!Call("GetSurfaceDesc")) return false;
  Surface* s = SurfaceOf(surface);
  if (!s || !desc) return false;
  const bool display = IsDisplayBuffer(*s);
  desc->caps = s->caps;
  desc->width = display ? gDisplay.width : s->width;
  desc->height = display ? gDisplay.height : s->height;
  desc->format = display ? DisplayFormat() : s->format;
  desc->sourceColourKey = s->sourceKey;
  desc->pitch = display ? desc->width * 2 : s->pitch;
  return true;
}

void* HalSurfaceLock(HalObject surface, int32_t* pitch) {
  if (!Call("Lock")) return nullptr;
  Surface* s = SurfaceOf(surface);
  if (!s || s->locked || s->role == Role::DEPTH || !Fetch(*s)) return nullptr;
  s->locked = true;
  if (pitch) *pitch = s->pitch;
  return s->pixels.data();
}

bool HalSurfaceUnlock(HalObject surface) {
  if (!Call("Unlock")) return false;
  Surface* s = SurfaceOf(surface);
  if (!s || !s->locked) return false;
  s->locked = false;
  Store(*s);
  return true;
}

bool HalSurfaceBlt(HalObject dst, const HalRect* dstRect, HalObject src, const HalRect* srcRect) {
  if (!Call("Blt", Rect(dstRect) + " from " + Rect(srcRect))) return false;
  Surface* d = SurfaceOf(dst);
  Surface* s = SurfaceOf(src);
  if (!d || !s || d == s || d->locked || s->locked || d->role == Role::DEPTH || s->role == Role::DEPTH) return false;
  if (!Fetch(*s) || !Fetch(*d)) return false;
  const HalRect dr = Clamp(dstRect ? *dstRect : Whole(*d), *d);
  const HalRect sr = Clamp(srcRect ? *srcRect : Whole(*s), *s);
  const int32_t dw = dr.right - dr.left, dh = dr.bottom - dr.top;
  const int32_t sw = sr.right - sr.left, sh = sr.bottom - sr.top;
  if (dw > 0 && dh > 0 && sw > 0 && sh > 0) {
    for (int32_t y = 0; y < dh; ++y) {
      const int32_t sy = sr.top + static_cast<int32_t>(static_cast<int64_t>(y) * sh / dh);
      for (int32_t x = 0; x < dw; ++x) {
        const int32_t sx = sr.left + static_cast<int32_t>(static_cast<int64_t>(x) * sw / dw);
        *Pixel(*d, dr.left + x, dr.top + y) = Convert(*Pixel(*s, sx, sy), s->format, d->format);
      }
    }
  }
  Store(*d);
  return true;
}

bool HalSurfaceBltFill(HalObject dst, const HalRect* dstRect, uint32_t pixel) {
  if (!Call("BltColorFill", Rect(dstRect) + " " + std::to_string(pixel))) return false;
  Surface* d = SurfaceOf(dst);
  if (!d || d->locked || d->role == Role::DEPTH || !Fetch(*d)) return false;
  const HalRect r = Clamp(dstRect ? *dstRect : Whole(*d), *d);
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x) *Pixel(*d, x, y) = static_cast<uint16_t>(pixel);
  Store(*d);
  return true;
}

bool HalSurfaceBltFast(HalObject dst, int32_t x, int32_t y, HalObject src, const HalRect* srcRect, bool sourceKey) {
  if (!Call("BltFast", Args({x, y}) + " from " + Rect(srcRect) + (sourceKey ? " key" : ""))) return false;
  Surface* d = SurfaceOf(dst);
  Surface* s = SurfaceOf(src);
  if (!d || !s || d == s || d->locked || s->locked || d->role == Role::DEPTH || s->role == Role::DEPTH) return false;
  if (!Fetch(*s) || !Fetch(*d)) return false;
  HalRect sr = Clamp(srcRect ? *srcRect : Whole(*s), *s);
  // Clamp the copy to the target as well, moving the source corner with it.
  if (x < 0) sr.left -= x, x = 0;
  if (y < 0) sr.top -= y, y = 0;
  const int32_t w = std::min(sr.right - sr.left, d->width - x), h = std::min(sr.bottom - sr.top, d->height - y);
  for (int32_t j = 0; j < h; ++j)
    for (int32_t i = 0; i < w; ++i) {
      const uint16_t p = *Pixel(*s, sr.left + i, sr.top + j);
      if (sourceKey && s->sourceKey && KeyMatches(*s, p)) continue;
      *Pixel(*d, x + i, y + j) = Convert(p, s->format, d->format);
    }
  Store(*d);
  return true;
}

bool HalSurfaceSetColourKey(HalObject surface, uint32_t low, uint32_t high) {
  if (!Call("SetColorKey", Args({low, high}))) return false;
  Surface* s = SurfaceOf(surface);
  if (!s) return false;
  Flush();
  s->sourceKey = true;
  s->keyLow = low;
  s->keyHigh = high;
  gAppliedValid = false;
  return true;
}

bool HalSurfaceSetClipper(HalObject primary, HalObject clipper) {
  if (!Call("SetClipper")) return false;
  Surface* s = SurfaceOf(primary);
  if (!s || !Find(clipper, Kind::CLIPPER)) return false;
  s->clipper = clipper;
  return true;
}

HalObject HalSurfaceQueryTexture(HalObject surface) {
  if (!Call("QueryInterfaceTexture")) return 0;
  Surface* s = SurfaceOf(surface);
  if (!s || !(s->caps & HAL_CAPS_TEXTURE)) return 0;
  HalObject h = Add(Kind::TEXTURE);
  gObjects[h]->target = surface;
  return h;
}

bool HalTextureLoad(HalObject texture, HalObject src) {
  if (!Call("Load")) return false;
  Object* t = Find(texture, Kind::TEXTURE);
  Object* s = Find(src, Kind::TEXTURE);
  if (!t || !s) return false;
  if (t->target == s->target) return true;
  Surface* ts = SurfaceOf(t->target);
  Surface* ss = SurfaceOf(s->target);
  if (!ts || !ss || ts->width != ss->width || ts->height != ss->height || ts->format != ss->format) return false;
  Flush();
  for (int32_t y = 0; y < ts->height; ++y) std::memcpy(Pixel(*ts, 0, y), Pixel(*ss, 0, y), ts->width * 2);
  ts->dirty = true;
  return true;
}

bool HalClipperSetWindow(HalObject clipper, uint32_t window) {
  if (!Call("SetHWnd", Args({window}))) return false;
  return Find(clipper, Kind::CLIPPER) != nullptr;
}

// ---- Objects, tests and presentation ---------------------------------------

void HalObjectRelease(HalObject object) {
  auto it = gObjects.find(object);
  if (it == gObjects.end()) return;
  if (--it->second->refs > 0) return;
  std::unique_ptr<Object> o = std::move(it->second);
  gObjects.erase(it);
  DestroyObject(object, *o);
}

void HalObjectAddRef(HalObject object) {
  auto it = gObjects.find(object);
  if (it != gObjects.end()) ++it->second->refs;
}

int32_t HalD3dLiveObjects() { return static_cast<int32_t>(gObjects.size()); }

void HalD3dShutdown() {
  while (!gObjects.empty()) {
    auto it = gObjects.begin();
    std::unique_ptr<Object> o = std::move(it->second);
    HalObject h = it->first;
    gObjects.erase(it);
    DestroyObject(h, *o);
  }
  ReleaseGl();
  gFailures.clear();
}

void HalD3dRecordCalls(std::vector<std::string>* log) { gLog = log; }
void HalD3dFailNext(const char* call, int32_t count) { gFailures[call] = count; }
