// The placed objects whose models bear textures of their own: the fence,
// whose textured faces fly apart as shards when a car runs through it, and
// the street lights (shaped_models.h), highway gates, highway panels and
// floodlights, whose glow the game centres on the faces that bear the glow
// texture. Also the
// desert with its placement array full, for the race benchmark.
#pragma once
#include <string>
#include <vector>

#include "tools/datakit/lib/model3ds_writer.h"
#include "tools/datakit/lib/race_textures.h"
#include "tools/datakit/lib/track_writer.h"

namespace datakit {

// The objects' own textures, in the objects' texture directory: "others\barriere",
// "others\vlum3" (the street lights' lamps), "others\hwgate1" and
// "others\hwpan1" .. "others\hwpan3". The
// floodlight (projo) bears "g5.3df", which the looping track's ground list
// loads before its objects (the kit's g5 is drawn as a lamp's face).
std::vector<KitTexture> ObjectTextures();

// The glows' flare (32 x 32 ARGB4444): white at its middle, its colour
// fading to black with its alpha, since the loader takes a 4444 texture's
// alpha from its colour and the glows are added onto the scene.
std::vector<uint16_t> GlowFlareTexels();

// The model of the object row `name` when the kit shapes it here: a light
// on its pole, the lamp bearing its glow texture. False for any other row.
bool KitLightModel(const std::string& name, Model3ds* out);
// Gives the model of row `name` its texture when the row has one here (the
// fence), mapped over the model's faces.
void KitApplyObjectTexture(const std::string& name, Model3ds* model);
// Gives material `material` of the model's first mesh the texture
// `texture`, mapped across the faces of that material (the modeller's x
// and z); the other vertices map to a corner.
void KitMapMaterialTexture(Model3ds* model, size_t material, const std::string& texture);

// The desert's placements filled up to `count` (at most the game's 900)
// with objects of the desert's rows: rows beside the course, clear of it,
// then a grid over the rest of the ground.
std::vector<KitPlacement> DesertPlacementsFilled(size_t count);
// "desert.uv" with those placements, for the archive of tracks (rur4.pak).
Bytes DesertTrackFileFilled(size_t count);
// The kit's archives (rur0.pak .. rur7.pak, as datakit writes them) with
// that desert instead of its own, written into `folder` over those there.
// False with `error` set on failure.
bool WritePaksWithFilledDesert(const std::string& folder, size_t count, std::string* error);

}  // namespace datakit
