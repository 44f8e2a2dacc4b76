#include "launcher/check.h"

#include "launcher/gl_context.h"
#include "launcher/message.h"
#include "launcher/texts.h"

namespace {
LauncherProbe gVideoProbe = nullptr;
LauncherProbe gOpenGlProbe = nullptr;
}  // namespace

void LauncherSetProbes(LauncherProbe video, LauncherProbe openGl) {
  gVideoProbe = video;
  gOpenGlProbe = openGl;
}

int32_t LauncherDxCodeFromProbes(bool video, bool openGl) {
  if (!video) return LAUNCHER_DX_NONE;
  return openGl ? LAUNCHER_DX_FULL : LAUNCHER_DX_NO_GL;
}

bool LauncherDxCodeAccepted(int32_t code) { return code >= 0x600; }

bool LauncherIsWin9x() { return gVideoProbe ? gVideoProbe() : LauncherProbeVideo(); }

int32_t LauncherDxVersion() {
  if (!LauncherIsWin9x()) return LauncherDxCodeFromProbes(false, false);
  return LauncherDxCodeFromProbes(true, gOpenGlProbe ? gOpenGlProbe() : LauncherProbeOpenGl());
}

bool LauncherCheckDirectX() {
  int32_t code = LauncherDxVersion();
  if (LauncherDxCodeAccepted(code)) return true;
  LauncherMessageBox(LAUNCHER_CAPTION,
                     LauncherText(code < LAUNCHER_DX_NO_GL ? LAUNCHER_TEXT_NO_VIDEO : LAUNCHER_TEXT_NO_OPENGL),
                     LauncherText(LAUNCHER_TEXT_EXIT));
  return false;
}
