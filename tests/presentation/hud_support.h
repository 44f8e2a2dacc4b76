// Shared by the HUD suites: what the presentation drew, and the software back
// end open at 640 x 480 with the world pools on a clock the test moves.
//
// Fields of the packed records go to the EXPECT macros as values (a unary +).
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine3d/mesh.h"

struct DrawnQuad {
  enum Kind { DECAL, FADED, SHADE, FLAT } kind;
  float alpha;
  Face face;
  Vertex corners[4];
};
extern std::vector<DrawnQuad> gQuads;
extern int gRaceOverSends;

// A run of glyphs printed on one line, gaps of blanks put back.
struct PrintedLine {
  int x, y;
  std::string text;
  bool faded;
};

constexpr uint32_t TEST_LETTERS = 3, TEST_DIGITS = 4;

class HudTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The lines the font printed since the last clear.
  std::vector<PrintedLine> Printed() const;
  // The printed line with this text, or null.
  const PrintedLine* Find(const std::string& text) const;
  // The texts only.
  std::vector<std::string> Texts() const;
};
