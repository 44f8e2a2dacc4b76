#include "launcher/dialog_view.h"

#include <GL/gl.h>
#include <SDL.h>
#include <imgui.h>
#include <backends/imgui_impl_opengl2.h>

#include <cstdio>

#include "hal/clock.h"
#include "hal/window.h"
#include "launcher/gl_context.h"
#include "launcher/texts.h"

namespace {

constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr uint32_t kFrameMs = 16;

struct ControlPlace {
  int32_t id;
  int32_t x, y, width, height;  // dialog units
};
const ControlPlace kPlaces[] = {
    {LAUNCHER_ID_PICTURE, 7, 6, 79, 158},      {LAUNCHER_ID_GO, 7, 176, 79, 16},
    {LAUNCHER_ID_CANCEL, 7, 198, 79, 16},      {LAUNCHER_ID_API_GROUP, 95, 6, 161, 41},
    {LAUNCHER_ID_GLIDE, 103, 14, 62, 18},      {LAUNCHER_ID_D3D, 103, 27, 39, 18},
    {LAUNCHER_ID_OPTIONS_GROUP, 95, 54, 160, 54}, {LAUNCHER_ID_DITHERING, 105, 68, 87, 13},
    {LAUNCHER_ID_FILTERING, 105, 83, 87, 13},  {LAUNCHER_ID_LIST_GROUP, 95, 113, 161, 109},
    {LAUNCHER_ID_LIST, 103, 124, 146, 91},
};

struct ViewState {
  LauncherDialog* dialog = nullptr;
  bool mouseDown = false;
  std::vector<int32_t> commands;
  int32_t selection = -1;
};
ViewState gView;

ImVec2 Pos(const LauncherRect& r) { return ImVec2(static_cast<float>(r.x), static_cast<float>(r.y)); }
ImVec2 Size(const LauncherRect& r) { return ImVec2(static_cast<float>(r.width), static_cast<float>(r.height)); }

intptr_t DialogWindowProc(uint32_t window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == HAL_WM_CLOSE) {
    if (gView.dialog) LauncherDialogClose(gView.dialog);
    return 0;
  }
  return HalDefWindowProc(window, message, wParam, lParam);
}

// Bitmap 108, the launcher's artwork: drawn, not stored. A dusk sky over
// dunes, a track running into them, and the name down the side.
void DrawPicture(ImDrawList* draw, const LauncherRect& r) {
  const ImVec2 a = Pos(r);
  const ImVec2 b(a.x + r.width, a.y + r.height);
  const float horizon = a.y + r.height * 0.55f;
  draw->AddRectFilledMultiColor(a, ImVec2(b.x, horizon), IM_COL32(40, 30, 90, 255), IM_COL32(40, 30, 90, 255),
                                IM_COL32(240, 140, 60, 255), IM_COL32(240, 140, 60, 255));
  draw->AddCircleFilled(ImVec2(a.x + r.width * 0.7f, horizon - 18), 16, IM_COL32(255, 220, 120, 255), 32);
  draw->AddRectFilledMultiColor(ImVec2(a.x, horizon), b, IM_COL32(170, 110, 50, 255), IM_COL32(170, 110, 50, 255),
                                IM_COL32(90, 55, 25, 255), IM_COL32(90, 55, 25, 255));
  for (int i = 0; i < 3; ++i) {
    float y = horizon + 6 + i * 10;
    draw->AddBezierCubic(ImVec2(a.x, y + 8), ImVec2(a.x + r.width * 0.3f, y - 6), ImVec2(a.x + r.width * 0.6f, y + 14),
                         ImVec2(b.x, y), IM_COL32(120, 75, 35, 255), 3.0f);
  }
  const float mid = a.x + r.width * 0.5f;
  draw->AddQuadFilled(ImVec2(mid - 4, horizon), ImVec2(mid + 4, horizon), ImVec2(b.x - 10, b.y),
                      ImVec2(a.x + 10, b.y), IM_COL32(60, 45, 35, 255));
  draw->AddLine(ImVec2(mid, horizon + 4), ImVec2(mid, b.y), IM_COL32(230, 220, 180, 255), 2.0f);
  const char* name = "TORVANE";
  ImFont* font = ImGui::GetFont();
  for (int i = 0; name[i]; ++i) {
    char letter[2] = {name[i], 0};
    draw->AddText(font, 18.0f, ImVec2(a.x + 6, a.y + 8 + i * 18.0f), IM_COL32(255, 255, 255, 230), letter);
  }
  draw->AddRect(a, b, IM_COL32(0, 0, 0, 255));
}

void DrawGroupBox(ImDrawList* draw, const LauncherRect& r, const char* label) {
  const ImVec2 a = Pos(r);
  const float top = a.y + ImGui::GetFontSize() * 0.5f;
  draw->AddRect(ImVec2(a.x, top), ImVec2(a.x + r.width, a.y + r.height), ImGui::GetColorU32(ImGuiCol_Border));
  if (!label || !*label) return;
  ImVec2 size = ImGui::CalcTextSize(label);
  ImVec2 at(a.x + 8, a.y);
  draw->AddRectFilled(ImVec2(at.x - 2, at.y), ImVec2(at.x + size.x + 2, at.y + size.y),
                      ImGui::GetColorU32(ImGuiCol_WindowBg));
  draw->AddText(at, ImGui::GetColorU32(ImGuiCol_Text), label);
}

// Builds one frame; clicks go to gView.commands, a list pick to gView.selection.
void BuildFrame(const LauncherDialog& d) {
  ImGui::NewFrame();
  ImGui::SetNextWindowPos(ImVec2(0, 0));
  ImGui::SetNextWindowSize(ImVec2(LAUNCHER_DIALOG_WIDTH, LAUNCHER_DIALOG_HEIGHT));
  ImGui::Begin(LAUNCHER_CAPTION, nullptr,
               ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                   ImGuiWindowFlags_NoBringToFrontOnFocus);
  ImDrawList* draw = ImGui::GetWindowDrawList();
  DrawPicture(draw, LauncherControlRect(LAUNCHER_ID_PICTURE));

  auto button = [&](int32_t id, LauncherTextId text) {
    LauncherRect r = LauncherControlRect(id);
    ImGui::SetCursorPos(Pos(r));
    ImGui::PushID(id);
    if (ImGui::Button(LauncherText(text), Size(r))) gView.commands.push_back(id);
    ImGui::PopID();
  };
  button(LAUNCHER_ID_GO, LAUNCHER_TEXT_GO);
  button(LAUNCHER_ID_CANCEL, LAUNCHER_TEXT_CANCEL);

  DrawGroupBox(draw, LauncherControlRect(LAUNCHER_ID_API_GROUP), LauncherText(LAUNCHER_TEXT_API_GROUP));
  auto radio = [&](int32_t id, LauncherTextId text, bool checked, bool enabled) {
    ImGui::BeginDisabled(!enabled);
    ImGui::SetCursorPos(Pos(LauncherControlRect(id)));
    ImGui::PushID(id);
    if (ImGui::RadioButton(LauncherText(text), checked)) gView.commands.push_back(id);
    ImGui::PopID();
    ImGui::EndDisabled();
  };
  radio(LAUNCHER_ID_GLIDE, LAUNCHER_TEXT_GLIDE, d.glideChecked, d.glideEnabled);
  radio(LAUNCHER_ID_D3D, LAUNCHER_TEXT_D3D, d.d3dChecked, true);

  ImGui::BeginDisabled(!d.d3dControlsEnabled);
  DrawGroupBox(draw, LauncherControlRect(LAUNCHER_ID_OPTIONS_GROUP), LauncherText(LAUNCHER_TEXT_OPTIONS_GROUP));
  auto check = [&](int32_t id, LauncherTextId text, bool checked) {
    ImGui::SetCursorPos(Pos(LauncherControlRect(id)));
    ImGui::PushID(id);
    bool value = checked;
    if (ImGui::Checkbox(LauncherText(text), &value)) gView.commands.push_back(id);
    ImGui::PopID();
  };
  check(LAUNCHER_ID_DITHERING, LAUNCHER_TEXT_DITHERING, d.ditheringChecked);
  check(LAUNCHER_ID_FILTERING, LAUNCHER_TEXT_FILTERING, d.filteringChecked);
  DrawGroupBox(draw, LauncherControlRect(LAUNCHER_ID_LIST_GROUP), nullptr);
  LauncherRect list = LauncherControlRect(LAUNCHER_ID_LIST);
  ImGui::SetCursorPos(Pos(list));
  if (ImGui::BeginListBox("##devices", Size(list))) {
    for (size_t i = 0; i < LauncherDialogItemCount(d); ++i) {
      ImGui::PushID(static_cast<int>(i));
      if (ImGui::Selectable(LauncherDialogItemText(d, i).c_str(), d.listSelection == static_cast<int32_t>(i)))
        gView.selection = static_cast<int32_t>(i);
      ImGui::PopID();
    }
    ImGui::EndListBox();
  }
  ImGui::EndDisabled();
  ImGui::End();
  ImGui::Render();
}

bool StartImGui() {
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;
  io.LogFilename = nullptr;
  io.DisplaySize = ImVec2(LAUNCHER_DIALOG_WIDTH, LAUNCHER_DIALOG_HEIGHT);
  // DejaVu has every Latin-1 letter the editions need; without it the
  // built-in font still draws the plain ones.
  if (std::FILE* f = std::fopen(kFontPath, "rb")) {
    std::fclose(f);
    io.Fonts->AddFontFromFileTTF(kFontPath, 15.0f, nullptr, io.Fonts->GetGlyphRangesDefault());
  }
  ImGui::StyleColorsLight();
  ImGuiStyle& style = ImGui::GetStyle();
  style.WindowRounding = 0;
  style.WindowBorderSize = 0;
  style.FrameBorderSize = 1;
  style.Colors[ImGuiCol_WindowBg] = ImVec4(0.83f, 0.82f, 0.78f, 1.0f);
  if (ImGui_ImplOpenGL2_Init()) return true;
  ImGui::DestroyContext();
  return false;
}

void StopImGui() {
  ImGui_ImplOpenGL2_Shutdown();
  ImGui::DestroyContext();
}

void DrawFrame(const LauncherDialog& d, float seconds) {
  ImGuiIO& io = ImGui::GetIO();
  io.DeltaTime = seconds > 0 ? seconds : 1.0f / 60.0f;
  ImGui_ImplOpenGL2_NewFrame();
  BuildFrame(d);
  glViewport(0, 0, LAUNCHER_DIALOG_WIDTH, LAUNCHER_DIALOG_HEIGHT);
  glClearColor(0.83f, 0.82f, 0.78f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
}

// Takes messages until one changes the mouse button, so a press and a release
// that arrive together still reach the controls in two frames.
void PumpInput() {
  HalMsg msg;
  while (HalPeekMessage(&msg)) {
    bool button = false;
    if (msg.message == HAL_WM_LBUTTONDOWN || msg.message == HAL_WM_LBUTTONDBLCLK) {
      gView.mouseDown = true;
      button = true;
    } else if (msg.message == HAL_WM_LBUTTONUP) {
      gView.mouseDown = false;
      button = true;
    }
    HalDispatchMessage(msg);
    if (button || (gView.dialog && gView.dialog->result != LAUNCHER_RESULT_NONE)) break;
  }
  int32_t x = 0, y = 0;
  HalGetCursorPos(&x, &y);
  ImGuiIO& io = ImGui::GetIO();
  io.MousePos = ImVec2(static_cast<float>(x), static_cast<float>(y));
  io.MouseDown[0] = gView.mouseDown;
}

void ApplyClicks(LauncherDialog* dialog) {
  for (int32_t id : gView.commands) LauncherDialogCommand(dialog, id);
  gView.commands.clear();
  if (gView.selection >= 0) LauncherDialogSelect(dialog, gView.selection);
  gView.selection = -1;
}

void WaitForNextFrame(uint32_t last) {
  uint32_t now = HalTimeGetTime();
  if (now - last >= kFrameMs) return;
  if (HalClockIsVirtual())
    HalClockAdvance(kFrameMs - (now - last));
  else
    SDL_Delay(kFrameMs - (now - last));
}

}  // namespace

LauncherRect LauncherControlRect(int32_t controlId) {
  for (const ControlPlace& p : kPlaces)
    if (p.id == controlId)
      return LauncherRect{p.x * LAUNCHER_DIALOG_UNIT_PX, p.y * LAUNCHER_DIALOG_UNIT_PX,
                          p.width * LAUNCHER_DIALOG_UNIT_PX, p.height * LAUNCHER_DIALOG_UNIT_PX};
  return LauncherRect{0, 0, 0, 0};
}

int32_t LauncherRunDialog(LauncherDialog* dialog) {
  gView = ViewState{};
  gView.dialog = dialog;
  LauncherDialogStart(dialog);
  bool shown = HalWindowCreateDialog(LAUNCHER_CAPTION, DialogWindowProc, LAUNCHER_DIALOG_WIDTH,
                                     LAUNCHER_DIALOG_HEIGHT, true) != 0 &&
               LauncherGlOpen(LAUNCHER_DIALOG_WIDTH, LAUNCHER_DIALOG_HEIGHT) && StartImGui();
  if (!shown) {
    std::fputs("launcher: the settings dialog cannot be shown\n", stderr);
    LauncherDialogClose(dialog);
  }
  uint32_t last = HalTimeGetTime();
  while (shown && dialog->result == LAUNCHER_RESULT_NONE) {
    PumpInput();
    if (dialog->result != LAUNCHER_RESULT_NONE) break;
    uint32_t now = HalTimeGetTime();
    DrawFrame(*dialog, static_cast<float>(now - last) / 1000.0f);
    LauncherGlPresent();
    ApplyClicks(dialog);
    WaitForNextFrame(now);
    last = now;
  }
  if (shown) StopImGui();
  LauncherGlClose();
  HalWindowDestroy();
  gView = ViewState{};
  return dialog->result;
}

std::vector<uint8_t> LauncherDrawDialogPicture(LauncherDialog* dialog) {
  std::vector<uint8_t> rgb;
  if (!LauncherGlOpen(LAUNCHER_DIALOG_WIDTH, LAUNCHER_DIALOG_HEIGHT)) return rgb;
  if (StartImGui()) {
    // The first frame lays the windows out; the second is the one shown.
    DrawFrame(*dialog, 0);
    DrawFrame(*dialog, 0);
    glFinish();
    rgb = LauncherGlReadPixels(LAUNCHER_DIALOG_WIDTH, LAUNCHER_DIALOG_HEIGHT);
    gView.commands.clear();
    StopImGui();
  }
  LauncherGlClose();
  return rgb;
}
