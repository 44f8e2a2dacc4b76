// The scene passes: which face routine each face reaches in each pass, the
// order of faces and slots in the one-pass and two-pass scenes, the dynamic
// slots, the deferred translucent pass; and a whole kit-made scene drawn.
#include <unistd.h>

#include "backend_common/draw.h"
#include "kit_scene.h"
#include "platform/mem.h"
#include "scene_support.h"

namespace {

uint32_t Type(RdrFaceType kind) { return uint32_t{kind} << 24; }

using ScenePass = SceneTest;

TEST_F(ScenePass, FacesReachTheRoutineOfTheirTypeAndPass) {
  // One cell in front of the camera; one texture, so the faces keep this order.
  AddUprightFace(0, 0, 100, Type(FACE_TEX_LIT), 1);
  AddUprightFace(0, 30, 100, Type(FACE_TEX_VCOLOUR), 2);
  AddUprightFace(0, -30, 100, Type(FACE_TRANSLUCENT), 3);
  AddUprightFace(30, 0, 100, Type(FACE_COLOUR), 4);
  AddUprightFace(-30, 0, 100, Type(FACE_TEX_LIT), 5, false);      // turned away
  AddUprightFace(30, 30, 100, Type(FACE_TRANSLUCENT), 6, false);  // water is two-sided
  // In a plane through the camera: facing value 0, drawn.
  Face& edge = AddUprightFace(0, 0, 100, Type(FACE_TEX_LIT), 7);
  const float yz[4][2] = {{-10, 90}, {-10, 110}, {10, 110}, {10, 90}};
  for (int i = 0; i < 4; ++i) {
    Vertex& v = gMesh.vertices[edge.index[i]];
    v.x = 0;
    v.y = yz[i][0];
    v.z = yz[i][1];
  }
  edge.normalX = 1024.0f;
  edge.normalZ = 0.0f;
  ASSERT_EQ(GridBuild(), 1);

  using Log = std::vector<std::string>;
  const struct {
    const char* name;
    void (*pass)();
    bool lighting;
    Log expect;
  } cases[] = {
      {"one-pass lit", ObjRenderScene, true, {"TexLit:1", "TexLit:2", "TexLit:4", "TexLit:7"}},
      {"one-pass, lighting off", ObjRenderScene, false, {"Decal:1", "Decal:2", "Decal:4", "Decal:7"}},
      {"one-pass unlit form", ObjRenderSceneUnlit, true, {"Decal:1", "Decal:2", "Decal:4", "Decal:7"}},
      {"two-pass lit", ObjRenderSceneTwoPass, true, {"TexLit:1", "TexVColour:2", "TexLit:7"}},
      {"two-pass, lighting off", ObjRenderSceneTwoPass, false, {"Decal:1", "TexVColourUnlit:2", "Decal:7"}},
      {"two-pass unlit form", ObjRenderSceneTwoPassUnlit, true, {"Decal:1", "TexVColourUnlit:2", "Decal:7"}},
      {"deferred translucent", ObjDrawDeferredTranslucent, true, {"Water:3", "Water:6"}},
  };
  for (const auto& c : cases) {
    if (c.lighting)
      RdrLightingOn();
    else
      RdrLightingOff();
    gSceneLog.clear();
    c.pass();
    EXPECT_EQ(gSceneLog, c.expect) << c.name;
  }
}

TEST_F(ScenePass, OnePassDrawsCellByCellTwoPassFacesFirst) {
  AddUprightFace(0, 0, 100, Type(FACE_TEX_LIT), 1);    // cell (0, 0)
  AddUprightFace(0, 0, 700, Type(FACE_TEX_LIT), 2);    // cell (0, 1)
  AddStatic(0, 0, 120, 10);
  AddStatic(0, 0, 720, 20);
  AddStatic(5, 0, 130, 11);
  gDrawLists.statics[2].visible = 0;  // hidden: skipped, whatever its cell
  DrawSlot* shown = ClaimDynamic(0, 0, -50, 30);  // behind the camera: the callback decides
  DrawSlot* released = ClaimDynamic(0, 0, 50, 31);
  DrawSlot* hidden = ClaimDynamic(0, 0, 50, 32);
  ASSERT_TRUE(shown && released && hidden);
  DrawListRelease(released);
  released->visible = 1;  // visible but released: still not drawn
  hidden->visible = 0;
  ASSERT_EQ(GridBuild(), 1);

  ObjRenderScene();
  EXPECT_EQ(gSceneLog,
            (std::vector<std::string>{"TexLit:1", "slot:10@120", "TexLit:2", "slot:20@720", "slot:30@-50"}));
  gSceneLog.clear();
  ObjRenderSceneTwoPass();
  EXPECT_EQ(gSceneLog,
            (std::vector<std::string>{"TexLit:1", "TexLit:2", "slot:10@120", "slot:20@720", "slot:30@-50"}));
  // The generated quads of the frame start behind the world.
  EXPECT_EQ(gSceneScratch.vertexIndex, gMesh.vertexCount);
  EXPECT_EQ(gSceneScratch.faceIndex, gMesh.faceCount);
}

TEST_F(ScenePass, TheTranslucentPassDrawsTheCellsOfTheLastView) {
  AddUprightFace(0, 0, 100, Type(FACE_TRANSLUCENT), 1);     // cell (0, 0)
  AddUprightFace(5000, 0, 100, Type(FACE_TRANSLUCENT), 2);  // far to the side
  ASSERT_EQ(GridBuild(), 1);
  ObjRenderScene();
  LookAlongZ(5000, 0, 0);  // the next view's camera, before its scene pass
  ObjDrawDeferredTranslucent();
  EXPECT_EQ(gSceneLog, (std::vector<std::string>{"Water:1"}));
  gSceneLog.clear();
  ObjRenderScene();
  ObjDrawDeferredTranslucent();
  EXPECT_EQ(gSceneLog, (std::vector<std::string>{"Water:2"}));
}

// The cells of the last view are freed by a rebuild or by the grid's end; the
// translucent pass run before the next scene must not reach them.
TEST_F(ScenePass, TheTranslucentPassFindsNoCellAfterTheGridIsRebuiltOrFreed) {
  AddUprightFace(0, 0, 100, Type(FACE_TRANSLUCENT), 1);
  const struct {
    const char* name;
    void (*drop)();
  } cases[] = {
      {"build", [] { GridBuild(); }},
      {"bin", [] { GridBin(); }},
      {"free", GridFree},
  };
  for (const auto& c : cases) {
    if (!gGrid.cells) {
      ASSERT_EQ(GridCreate(640, 25, 1, 12), 1);  // after the free
    }
    ASSERT_EQ(GridBuild(), 1);
    ObjRenderScene();
    ASSERT_EQ(gVisibleCells.count, 1u) << c.name;
    c.drop();
    gSceneLog.clear();
    ObjDrawDeferredTranslucent();
    EXPECT_EQ(gVisibleCells.count, 0u) << c.name;
    EXPECT_EQ(gSceneLog, std::vector<std::string>{}) << c.name;
  }
}

// ---- a whole scene made by the kit

class KitSceneTest : public SceneTest {
 protected:
  void SetUp() override {
    ASSERT_NE(::getcwd(home_, sizeof home_), nullptr);
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    SceneTest::SetUp();
  }
  void TearDown() override {
    KitSceneFree(&scene_);
    SceneTest::TearDown();
    ASSERT_EQ(::chdir(home_), 0);
  }
  TempDir dir_;
  char home_[4096];
  KitScene scene_{};
};

TEST_F(KitSceneTest, EveryFixedViewRoutesGroundAndWater) {
  std::string error;
  ASSERT_TRUE(KitSceneBuild(&scene_, dir_.path().string(), &error)) << error;
  EXPECT_EQ(scene_.placed, 14);
  EXPECT_TRUE(gFatalErrors.empty());
  for (int view = 0; view < KIT_SCENE_CAMERAS; ++view) {
    int water = 0, ground = 0;
    gSceneLog.clear();
    KitSceneDraw(scene_, KitSceneCamera(view));
    for (const std::string& call : gSceneLog) {
      water += call.rfind("Water", 0) == 0;
      ground += call.rfind("TexVColour", 0) == 0;
    }
    EXPECT_GT(gVisibleCells.count, 0u) << view;
    EXPECT_GT(ground, 100) << view;
    EXPECT_GT(water, 0) << view;
  }
}

}  // namespace
