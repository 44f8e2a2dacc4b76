// What the three parts of the device layer share: the objects and their
// surfaces (d3d.cpp), the display's buffers in OpenGL (d3d_display.cpp), and
// the OpenGL state, batching and shaders behind the device (d3d_gl.cpp).
// Nothing outside hal/d3d includes it.
#pragma once
#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hal/d3d/d3d.h"

namespace hal_d3d {

// ---- Recording and failures (d3d.cpp) -------------------------------------

extern std::vector<std::string>* gLog;
// Logs the call and tells whether a test asked it to fail.
bool Call(const char* name, const std::string& args = {});
std::string Args(std::initializer_list<long long> values);
std::string Rect(const HalRect* r);

// ---- Objects (d3d.cpp) ----------------------------------------------------

enum class Kind { DDRAW, D3D, SURFACE, CLIPPER, DEVICE, VIEWPORT, TEXTURE };

enum class Role { PLAIN, PRIMARY, BACK, DEPTH };

struct Surface {
  Role role = Role::PLAIN;
  uint32_t caps = 0;
  int32_t width = 0, height = 0;
  HalPixelFormat format = HAL_PIXEL_NONE;
  int32_t pitch = 0;
  std::vector<uint8_t> pixels;  // CPU copy (all but the display's buffers keep theirs here)
  bool locked = false;
  bool sourceKey = false;
  uint32_t keyLow = 0, keyHigh = 0;
  HalObject depth = 0;   // attached z-buffer
  HalObject clipper = 0;
  GLuint glTexture = 0;  // texture surfaces in video memory
  bool dirty = true;     // the GL texture is behind the CPU copy
};

struct Object {
  Kind kind;
  int32_t refs = 1;
  int32_t deviceIndex = 0;
  Surface surface;
  HalObject target = 0;  // device: its back buffer; texture: its surface
  HalViewport viewport{};
  HalObject viewportDevice = 0;
};

extern std::map<HalObject, std::unique_ptr<Object>> gObjects;
Object* Find(HalObject handle, Kind kind);
HalObject Add(Kind kind);
Surface* SurfaceOf(HalObject h);
// The rectangle cut to the surface's bounds.
HalRect Clamp(HalRect r, const Surface& s);

// ---- Pixel formats (d3d.cpp) ----------------------------------------------

struct Channels {
  int r, g, b, a;      // bit counts
  int rs, gs, bs, as;  // shifts
};
Channels ChannelsOf(HalPixelFormat f);
uint16_t Convert(uint16_t p, HalPixelFormat from, HalPixelFormat to);
HalPixelFormat DisplayFormat();

// ---- The display (d3d_display.cpp) ----------------------------------------

struct Display {
  int32_t width = 0, height = 0;
  bool rgb555 = false;
  bool want555 = false;
  HalObject primary = 0;
  GLuint colour[2] = {0, 0};
  GLuint fbo[2] = {0, 0};
  int32_t back = 0;  // index of the back buffer; the other is the front
  GLuint depth = 0;
  bool shown = false;  // a frame has been flipped to the front
  bool glReady = false;
  GLuint program = 0;
  GLuint vbo = 0, vao = 0;
  GLuint samplers[2] = {0, 0};  // point, linear
  int32_t drawCount = 0;
  int32_t stateCount = 0;  // state changes between OpenGL draws
};
extern Display gDisplay;

void ReleaseDisplayBuffers();
bool CreateDisplayBuffers();
bool AttachDepth();
// Reads one of the display's buffers, rows from the top.
void ReadBuffer(int32_t index, uint16_t* out, int32_t pitchPixels);
void WriteBuffer(int32_t index, const uint16_t* in, int32_t pitchPixels);
// The front buffer onto the window, scaled with its aspect kept.
void Present();

// ---- The device and its OpenGL state (d3d_gl.cpp) -------------------------

struct Device {
  HalObject handle = 0;
  uint32_t rs[HAL_RS_COUNT] = {};
  uint32_t tss[HAL_TSS_COUNT] = {};
  uint32_t fogMode = 0;
  HalObject texture = 0;
  HalObject viewport = 0;
  bool inScene = false;
};
extern Device gDevice;

// False when the next draw must send its whole state again (something moved
// the OpenGL state behind the batch's back).
extern bool gAppliedValid;
// The program, vertex arrays and samplers, and the context under them.
bool PrepareGl();
// Sends what is batched.
void Flush();
// Drops the program and its arrays and the context; the layer is fresh after.
void ReleaseGl();

}  // namespace hal_d3d
