// The object-type table. Of its 262 rows only 24 are given in full (marked
// "given"); the others name only their model, and their values are ours:
// the track by the model's name prefix or by the code that uses it, and
// everything else the common values of the given rows (merge 1, no colour
// key, scale 0.01, ground mode 1, value 1000, grid flags 0xD0, special id -1,
// box scale 1.0).
// Draw and hit kinds: every row known by its reaction or its draw routine has
// it (the fences, barrels, pennants, walls, bars, columns, the ice figure, the
// large and the special draws). Of the placed rows, 22 fly when hit (hit kind
// 1): the cattle, pigs and sheep and the surfers (they cry when knocked), the
// cacti, the surf stand's ball, chairs, boards and table, the small direction
// panels of the sunset, savanna and highway tracks (sudir, sadir, rdir), and
// the column and ice blocks (rucolb, icbloc), so that a resting block is hit
// again like any of them. 73 are solid (hit kind 4): buildings, walls, rocks,
// gates, towers, lamps, vehicles. The other 108 only shake the car (hit kind
// 0): plants and trees (hetre, the savanna's trunks and desert plants among
// them), signs and posters, flags, small street items, the pier and the
// checkpoint arches, which the road runs through. Drawn two-sided (draw kind
// 3) are the 39 plants, palms and straw parasols; lit (0) 91 rows, the statues
// and tanks among them; unlit (1) the 70 others.
// Row 118 (a second vlum1) lights the highway, among whose rows it stands.
// The traffic's wheels (rows 137 and 138) stay as modelled, round their
// axle, for the wheels turn about their centre.
#include "race/object_types.h"

#include <cstring>

#include "presentation/decor_anim.h"

namespace {

// Models of the type table lie under others\ and are stood up from the
// modeller's z-up axes: y' = z, z' = -y.
const MeshPlacement PLACE{1, 1.0f, 0.0f, {1, 0, 0, 0, 0, 1, 0, -1, 0}, 1, 1};

#define NO_KEY {-1, -1, -1}

ObjectAnim ANIM_VACHE{{"vache1.3ds", "vache2.3ds", "vache3.3ds"}, DecorAnimAnimal, nullptr};
ObjectAnim ANIM_COCHON{{"cochon1.3ds", "cochon2.3ds", "cochon3.3ds"}, DecorAnimAnimal, nullptr};
ObjectAnim ANIM_MOUT01{{"mout01.3ds", "mout02.3ds", "mout03.3ds"}, DecorAnimAnimal, nullptr};
ObjectAnim ANIM_NESSY{{"nessy1.3ds", "nessy2.3ds", "nessy3.3ds"}, DecorAnimTurning, nullptr};
ObjectAnim ANIM_ICPG{{"icpg01.3ds", "icpg02.3ds", "icpg03.3ds", "icpg04.3ds"}, DecorAnimFigure, nullptr};
ObjectAnim ANIM_SUFMA{{"sufma1.3ds", "sufma2.3ds", "sufma3.3ds", "sufma4.3ds"}, DecorAnimFigure, nullptr};
ObjectAnim ANIM_SUFMB{{"sufmb1.3ds", "sufmb2.3ds", "sufmb3.3ds", "sufmb4.3ds"}, DecorAnimFigure, nullptr};
ObjectAnim ANIM_SUFMC{{"sufmc1.3ds", "sufmc2.3ds", "sufmc3.3ds", "sufmc4.3ds"}, DecorAnimFigure, nullptr};
ObjectAnim ANIM_SUFMD{{"sufmd1.3ds", "sufmd2.3ds", "sufmd3.3ds", "sufmd4.3ds"}, DecorAnimFigure, nullptr};
ObjectAnim ANIM_SAELEF{
    {"saelef1.3ds", "saelef2.3ds", "saelef3.3ds", "saelef4.3ds", "saelef5.3ds", "saelef6.3ds"}, DecorAnimFigure, nullptr};
ObjectAnim ANIM_FLAG{{"flag1.3ds", "flag2.3ds", "flag3.3ds", "flag4.3ds", "flag5.3ds", "flag6.3ds"}, DecorAnimFlag, nullptr};
ObjectAnim ANIM_LFLAG{
    {"lflag01.3ds", "lflag02.3ds", "lflag03.3ds", "lflag04.3ds", "lflag05.3ds", "lflag06.3ds"}, DecorAnimFlag, nullptr};

#define GLOW_VLUM1 gObjectGlows[0]
#define GLOW_VLUM2 gObjectGlows[1]
#define GLOW_VLUM3 gObjectGlows[2]
#define GLOW_HWGATE gObjectGlows[3]
#define GLOW_HWPAN1 gObjectGlows[4]
#define GLOW_HWPAN2 gObjectGlows[5]
#define GLOW_HWPAN3 gObjectGlows[6]
#define GLOW_ICGATE1 gObjectGlows[7]
#define GLOW_ICGATE2 gObjectGlows[8]
#define GLOW_PROJO gObjectGlows[9]

// track, merge, key, name, scale, placement, ground, placed, draw, value, flags, id, hit, anim, glow, box scale
const ObjectType INITIAL_TYPES[OBJECT_TYPE_ROWS + 1] = {
    /*   0 */ {6, 1, NO_KEY, "lune", 7.0f, &PLACE, 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr, 0.0f}, // given
    /*   1 */ {6, 1, {0, 0, 0}, "losap1", 0.02f, &PLACE, 1, 1, 3, 1000, 0xC1, -1, 0, nullptr, nullptr, 0.3f}, // given
    /*   2 */ {6, 1, NO_KEY, "losap2", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*   3 */ {6, 1, NO_KEY, "losap3", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*   4 */ {6, 1, NO_KEY, "loblob", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*   5 */ {6, 1, NO_KEY, "logate", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*   6 */ {6, 0, NO_KEY, "mout01", 0.07f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, &ANIM_MOUT01, nullptr, 1.0f}, // given
    /*   7 */ {4, 1, NO_KEY, "hwbui1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*   8 */ {100, 1, NO_KEY, "bugdead", 0.1f, &PLACE, 1, 1, 1, 200, 0xD0, -1, 11, nullptr, nullptr, 1.0f}, // given
    /*   9 */ {0, 1, NO_KEY, "cactus1", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /*  10 */ {0, 1, NO_KEY, "cactus2", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /*  11 */ {0, 1, NO_KEY, "cactus3", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /*  12 */ {0, 0, NO_KEY, "vache1", 0.013f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, &ANIM_VACHE, nullptr, 1.0f}, // given
    /*  13 */ {0, 1, NO_KEY, "chato", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  14 */ {0, 1, NO_KEY, "oiltank", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  15 */ {0, 1, NO_KEY, "oiltrack", 0.01f, &PLACE, 1, 1, 1, 1500, 0xD0, -1, 5, nullptr, nullptr, 1.0f}, // given
    /*  16 */ {0, 1, NO_KEY, "rocher1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  17 */ {100, 1, NO_KEY, "bidon", 0.01f, &PLACE, 1, 1, 0, 1000, 0xC1, -1, 3, nullptr, nullptr, 1.0f}, // given
    /*  18 */ {0, 1, NO_KEY, "bidon1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 3, nullptr, nullptr, 1.0f},
    /*  19 */ {0, 0, NO_KEY, "barriere", 0.016f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 2, nullptr, nullptr, 1.0f}, // given
    /*  20 */ {0, 1, NO_KEY, "checkp", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD8, -1, 0, nullptr, nullptr, 1.0f},
    /*  21 */ {0, 1, NO_KEY, "camion", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  22 */ {0, 1, NO_KEY, "fuel", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  23 */ {0, 1, NO_KEY, "cater", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  24 */ {0, 1, NO_KEY, "pano", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  25 */ {0, 1, NO_KEY, "pano01", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  26 */ {0, 1, NO_KEY, "pano02", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  27 */ {0, 1, NO_KEY, "pano03", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  28 */ {0, 1, NO_KEY, "pano04", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  29 */ {0, 1, NO_KEY, "pano05", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  30 */ {0, 1, NO_KEY, "pano06", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  31 */ {0, 1, NO_KEY, "pipbas", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  32 */ {0, 1, NO_KEY, "pipcoud", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  33 */ {0, 1, NO_KEY, "piphor", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  34 */ {0, 1, NO_KEY, "pipt", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  35 */ {0, 1, NO_KEY, "petrol", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  36 */ {0, 1, NO_KEY, "fleche", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  37 */ {0, 1, NO_KEY, "helicop", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  38 */ {1, 1, NO_KEY, "sapin1", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  39 */ {1, 1, NO_KEY, "sapin2", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  40 */ {1, 1, NO_KEY, "sapin3", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  41 */ {1, 1, NO_KEY, "troncut", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  42 */ {1, 1, NO_KEY, "tronc", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  43 */ {1, 1, NO_KEY, "foret", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  44 */ {1, 1, NO_KEY, "pilonne", 0.01f, &PLACE, 1, 1, 4, 1000, 0x06, 10000, 4, nullptr, nullptr, 1.0f}, // given
    /*  45 */ {1, 1, NO_KEY, "barsecu", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  46 */ {1, 1, NO_KEY, "chalet", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  47 */ {1, 1, NO_KEY, "cab9", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  48 */ {1, 1, NO_KEY, "neuf", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  49 */ {1, 1, NO_KEY, "rochn1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  50 */ {1, 1, NO_KEY, "rochn2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  51 */ {1, 1, NO_KEY, "rochn3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  52 */ {1, 1, NO_KEY, "baresto", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  53 */ {1, 1, NO_KEY, "skidn1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  54 */ {1, 1, NO_KEY, "skidd1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  55 */ {1, 1, NO_KEY, "skidg1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  56 */ {1, 1, NO_KEY, "skidm1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  57 */ {1, 1, NO_KEY, "maison1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  58 */ {1, 1, NO_KEY, "maison2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  59 */ {1, 1, NO_KEY, "fanion1", 0.17f, &PLACE, 1, 1, 1, 200, 0xD0, -1, 6, nullptr, nullptr, 1.0f}, // given
    /*  60 */ {1, 1, NO_KEY, "fanion2", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 6, nullptr, nullptr, 1.0f},
    /*  61 */ {1, 1, NO_KEY, "filet", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  62 */ {1, 1, NO_KEY, "filetpil", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  63 */ {1, 1, NO_KEY, "eglise", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  64 */ {1, 1, NO_KEY, "checkn", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD8, -1, 0, nullptr, nullptr, 1.0f},
    /*  65 */ {1, 1, NO_KEY, "direct", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  66 */ {2, 1, NO_KEY, "hetre", 0.01f, &PLACE, 1, 1, 5, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  67 */ {2, 1, NO_KEY, "portail", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  68 */ {2, 1, NO_KEY, "eclair1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  69 */ {2, 1, NO_KEY, "eclair2", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  70 */ {2, 1, NO_KEY, "eclair3", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  71 */ {2, 1, NO_KEY, "eclair4", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  72 */ {2, 1, NO_KEY, "muret1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 7, nullptr, nullptr, 1.0f}, // given
    /*  73 */ {2, 1, NO_KEY, "muret2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 7, nullptr, nullptr, 1.0f},
    /*  74 */ {2, 1, NO_KEY, "muret3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 7, nullptr, nullptr, 1.0f},
    /*  75 */ {2, 1, NO_KEY, "tomb1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  76 */ {2, 1, NO_KEY, "tomb2", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  77 */ {2, 1, NO_KEY, "tomb3", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  78 */ {2, 1, NO_KEY, "croix", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  79 */ {2, 1, NO_KEY, "hetre1", 0.01f, &PLACE, 1, 1, 5, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  80 */ {2, 1, NO_KEY, "pierre", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  81 */ {2, 1, NO_KEY, "tour", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  82 */ {2, 1, NO_KEY, "mur1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  83 */ {2, 1, NO_KEY, "mur2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  84 */ {2, 1, NO_KEY, "mur3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  85 */ {2, 1, NO_KEY, "auberge", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  86 */ {2, 1, NO_KEY, "men1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  87 */ {2, 1, NO_KEY, "men2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  88 */ {2, 1, NO_KEY, "men3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  89 */ {2, 1, NO_KEY, "men4", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  90 */ {2, 1, NO_KEY, "chato1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  91 */ {2, 1, NO_KEY, "chato2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  92 */ {2, 1, NO_KEY, "chato3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  93 */ {2, 1, NO_KEY, "chato4", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  94 */ {2, 1, NO_KEY, "chato5", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  95 */ {2, 1, NO_KEY, "chato6", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /*  96 */ {2, 1, NO_KEY, "barque", 0.01f, &PLACE, 1, 1, 6, 1000, 0xD0, 810, 4, nullptr, nullptr, 1.0f}, // given
    /*  97 */ {2, 1, NO_KEY, "ponton", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /*  98 */ {2, 0, NO_KEY, "nessy1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xA4, 680, 4, &ANIM_NESSY, nullptr, 1.0f}, // given
    /*  99 */ {2, 1, NO_KEY, "cochon1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, &ANIM_COCHON, nullptr, 1.0f},
    /* 100 */ {102, 0, NO_KEY, "null", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 101 */ {4, 1, NO_KEY, "rdir", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 102 */ {4, 1, NO_KEY, "hwbui2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 103 */ {4, 1, NO_KEY, "hwbui3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 104 */ {4, 1, NO_KEY, "hwcuve", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 105 */ {4, 1, NO_KEY, "hwcuve1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 106 */ {4, 1, NO_KEY, "hwcuve2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 107 */ {4, 1, NO_KEY, "hwguid", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 108 */ {4, 1, NO_KEY, "hwhlm1", 0.01f, &PLACE, 1, 1, 7, 500, 0x26, -1, 4, nullptr, nullptr, 1.0f}, // given
    /* 109 */ {4, 1, NO_KEY, "hwhlm2", 0.01f, &PLACE, 1, 1, 7, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 110 */ {4, 1, NO_KEY, "hwhlm3", 0.01f, &PLACE, 1, 1, 7, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 111 */ {4, 1, NO_KEY, "hwhlm4", 0.01f, &PLACE, 1, 1, 7, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 112 */ {4, 1, NO_KEY, "hwhlm5", 0.01f, &PLACE, 1, 1, 7, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 113 */ {4, 1, NO_KEY, "hwhlm6", 0.01f, &PLACE, 1, 1, 7, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 114 */ {4, 1, NO_KEY, "hwpan1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xCC, -1, 0, nullptr, &GLOW_HWPAN1, 5.0f}, // given
    /* 115 */ {4, 1, NO_KEY, "hwpan2", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, &GLOW_HWPAN2, 1.0f},
    /* 116 */ {4, 1, NO_KEY, "hwpan3", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, &GLOW_HWPAN3, 1.0f},
    /* 117 */ {4, 1, NO_KEY, "hwgate", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, &GLOW_HWGATE, 1.0f},
    /* 118 */ {4, 1, NO_KEY, "vlum1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, &GLOW_VLUM1, 1.0f},
    /* 119 */ {7, 1, NO_KEY, "sufma1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, &ANIM_SUFMA, nullptr, 1.0f},
    /* 120 */ {7, 1, NO_KEY, "sufmb1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, &ANIM_SUFMB, nullptr, 1.0f},
    /* 121 */ {7, 1, NO_KEY, "sufmc1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, &ANIM_SUFMC, nullptr, 1.0f},
    /* 122 */ {7, 1, NO_KEY, "sufmd1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, &ANIM_SUFMD, nullptr, 1.0f},
    /* 123 */ {7, 1, NO_KEY, "suballe", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 124 */ {7, 1, NO_KEY, "suchais", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 125 */ {7, 1, NO_KEY, "sucoco1", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 126 */ {7, 1, NO_KEY, "sucoco2", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 127 */ {7, 1, NO_KEY, "sucoco3", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 128 */ {7, 1, NO_KEY, "sudir1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 129 */ {7, 1, NO_KEY, "sudir2", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 130 */ {7, 1, NO_KEY, "sugate", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 131 */ {7, 1, NO_KEY, "supail1", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 132 */ {7, 1, NO_KEY, "supail2", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 133 */ {7, 1, NO_KEY, "susurf1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 134 */ {7, 1, NO_KEY, "susurf2", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 135 */ {7, 1, NO_KEY, "sutable", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 136 */ {7, 1, NO_KEY, "suyatch", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 137 */ {4, 1, NO_KEY, "troue1", 0.01f, &PLACE, 0, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 138 */ {4, 1, NO_KEY, "vroue1", 0.01f, &PLACE, 0, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 139 */ {102, 0, NO_KEY, "null", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 140 */ {3, 1, NO_KEY, "vgate", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 141 */ {3, 1, NO_KEY, "vroc1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 142 */ {3, 1, NO_KEY, "vroc2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 143 */ {3, 1, NO_KEY, "vroc3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 144 */ {3, 1, NO_KEY, "vroc4", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 145 */ {3, 1, NO_KEY, "vroc5", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 146 */ {3, 1, NO_KEY, "vroc6", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 147 */ {3, 1, NO_KEY, "varbre1", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 148 */ {3, 1, NO_KEY, "varbre2", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 149 */ {3, 1, NO_KEY, "varbre3", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 150 */ {3, 1, NO_KEY, "varbre4", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 151 */ {3, 1, NO_KEY, "varbre5", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 152 */ {3, 1, NO_KEY, "vpont1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 153 */ {3, 1, NO_KEY, "vlum1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, &GLOW_VLUM1, 1.0f},
    /* 154 */ {3, 1, NO_KEY, "vlum2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, &GLOW_VLUM2, 1.0f},
    /* 155 */ {3, 1, NO_KEY, "vlum3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, &GLOW_VLUM3, 1.0f},
    /* 156 */ {3, 1, NO_KEY, "vbar1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 8, nullptr, nullptr, 1.0f}, // given
    /* 157 */ {3, 1, NO_KEY, "vbar2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 8, nullptr, nullptr, 1.0f},
    /* 158 */ {3, 1, NO_KEY, "vbar3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 8, nullptr, nullptr, 1.0f},
    /* 159 */ {3, 1, NO_KEY, "vbar4", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 8, nullptr, nullptr, 1.0f},
    /* 160 */ {3, 1, NO_KEY, "vbar5", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 161 */ {3, 1, NO_KEY, "vpano1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 162 */ {3, 1, NO_KEY, "vpano2", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 163 */ {3, 1, NO_KEY, "vpano3", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 164 */ {3, 1, NO_KEY, "vpano4", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 165 */ {3, 1, NO_KEY, "vpano5", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 166 */ {3, 1, NO_KEY, "vpano6", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 167 */ {102, 0, NO_KEY, "null", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 168 */ {4, 1, NO_KEY, "tblue1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 169 */ {4, 1, NO_KEY, "tblue2", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 170 */ {4, 1, NO_KEY, "tmaro1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 171 */ {4, 1, NO_KEY, "tmaro2", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 172 */ {4, 1, NO_KEY, "tred1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 173 */ {4, 1, NO_KEY, "tred2", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 174 */ {4, 1, NO_KEY, "vflic1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 175 */ {4, 1, NO_KEY, "vflic2", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 176 */ {4, 1, NO_KEY, "vmau1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 177 */ {4, 1, NO_KEY, "vmau2", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 178 */ {4, 1, NO_KEY, "vora1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 179 */ {4, 1, NO_KEY, "vora2", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 180 */ {4, 1, NO_KEY, "vred1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 181 */ {4, 1, NO_KEY, "vred2", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 182 */ {4, 1, NO_KEY, "vsh1", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 183 */ {4, 1, NO_KEY, "vsh2", 0.01f, &PLACE, 1, 0, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 184 */ {5, 1, NO_KEY, "ruamph", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 2, nullptr, nullptr, 1.0f},
    /* 185 */ {5, 1, NO_KEY, "ruaqua1", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 186 */ {5, 1, NO_KEY, "ruaqua2", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 187 */ {5, 1, NO_KEY, "ruaqua3", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 188 */ {5, 1, NO_KEY, "rubloc1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 189 */ {5, 1, NO_KEY, "rubloc2", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 190 */ {5, 1, NO_KEY, "rucipr1", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 191 */ {5, 1, NO_KEY, "rucipr2", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 192 */ {5, 1, NO_KEY, "rucol1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 9, nullptr, nullptr, 1.0f}, // given
    /* 193 */ {5, 1, NO_KEY, "rucol2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 9, nullptr, nullptr, 1.0f},
    /* 194 */ {5, 1, NO_KEY, "rucol3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 9, nullptr, nullptr, 1.0f},
    /* 195 */ {5, 1, NO_KEY, "rucol4", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 9, nullptr, nullptr, 1.0f},
    /* 196 */ {5, 1, NO_KEY, "rucol5", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 9, nullptr, nullptr, 1.0f},
    /* 197 */ {5, 1, NO_KEY, "rucol6", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 9, nullptr, nullptr, 1.0f},
    /* 198 */ {5, 1, NO_KEY, "rucol7", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 9, nullptr, nullptr, 1.0f},
    /* 199 */ {5, 1, NO_KEY, "rucolb", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 200 */ {5, 1, NO_KEY, "rugate", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 201 */ {5, 1, NO_KEY, "rupan1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 202 */ {5, 1, NO_KEY, "rupan2", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 203 */ {5, 1, NO_KEY, "rusocle", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 204 */ {5, 1, NO_KEY, "rustat1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 205 */ {5, 1, NO_KEY, "rustat2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 206 */ {5, 1, NO_KEY, "rustat3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 207 */ {5, 1, NO_KEY, "rustat4", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 208 */ {5, 1, NO_KEY, "rustat5", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 209 */ {5, 1, NO_KEY, "rutempl", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 210 */ {5, 1, NO_KEY, "rutemp1", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 211 */ {8, 1, NO_KEY, "sabuis1", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 212 */ {8, 1, NO_KEY, "safdes1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 213 */ {8, 1, {0, 0, 0}, "safdes2", 0.01f, &PLACE, 1, 1, 10, 1000, 0xC4, 130, 0, nullptr, nullptr, 1.0f}, // given
    /* 214 */ {8, 1, NO_KEY, "safdes3", 0.01f, &PLACE, 1, 1, 10, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 215 */ {8, 1, NO_KEY, "safond", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 216 */ {8, 1, NO_KEY, "safoug1", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 217 */ {8, 1, NO_KEY, "safoug2", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 218 */ {8, 1, NO_KEY, "safoug3", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 219 */ {8, 1, NO_KEY, "safoug4", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 220 */ {8, 1, NO_KEY, "safoug5", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 221 */ {8, 1, NO_KEY, "safoug6", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 222 */ {8, 1, NO_KEY, "safoug7", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 223 */ {8, 1, NO_KEY, "sapalm1", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 224 */ {8, 1, NO_KEY, "sapalm2", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 225 */ {8, 1, NO_KEY, "sapalm3", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 226 */ {8, 1, NO_KEY, "saplmb1", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 227 */ {8, 1, NO_KEY, "saplmb2", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 228 */ {8, 1, NO_KEY, "saplmb3", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 229 */ {8, 1, NO_KEY, "saplmb4", 0.01f, &PLACE, 1, 1, 3, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 230 */ {8, 1, NO_KEY, "satronc1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 231 */ {8, 1, NO_KEY, "satronc2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 232 */ {8, 1, NO_KEY, "satronc3", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 233 */ {8, 1, NO_KEY, "satronc4", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 234 */ {8, 1, NO_KEY, "satronc5", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 235 */ {8, 1, NO_KEY, "sadir1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 236 */ {8, 1, NO_KEY, "sadir2", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 237 */ {8, 1, NO_KEY, "sagate", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 238 */ {8, 1, NO_KEY, "samais1", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 239 */ {8, 1, NO_KEY, "samais2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 240 */ {9, 1, NO_KEY, "icdir1", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 241 */ {9, 1, NO_KEY, "icdir2", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 242 */ {9, 1, NO_KEY, "icsous", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 243 */ {9, 0, NO_KEY, "icpg01", 0.01f, &PLACE, 1, 1, 1, 500, 0xD0, 0, 10, &ANIM_ICPG, nullptr, 1.0f}, // given
    /* 244 */ {9, 1, NO_KEY, "icdir3", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 245 */ {9, 1, NO_KEY, "icsou1", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 246 */ {9, 1, NO_KEY, "icbloc1", 0.01f, &PLACE, 0, 1, 0, 1500, 0xD0, 0, 9, nullptr, nullptr, 1.0f}, // given
    /* 247 */ {9, 1, NO_KEY, "icbloc2", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 9, nullptr, nullptr, 1.0f},
    /* 248 */ {9, 1, NO_KEY, "icbloc", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 1, nullptr, nullptr, 1.0f},
    /* 249 */ {9, 1, NO_KEY, "icgate", 0.01f, &PLACE, 1, 1, 0, 1000, 0xD0, -1, 4, nullptr, nullptr, 1.0f},
    /* 250 */ {9, 1, NO_KEY, "icancre", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 251 */ {9, 1, NO_KEY, "icgate1", 0.01f, &PLACE, 0, 1, 4, 1500, 0xD0, 0, 4, nullptr, &GLOW_ICGATE1, 0.9f}, // given
    /* 252 */ {9, 1, NO_KEY, "icgate2", 0.01f, &PLACE, 1, 1, 4, 1000, 0xD0, -1, 4, nullptr, &GLOW_ICGATE2, 1.0f},
    /* 253 */ {8, 1, NO_KEY, "saelef1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, &ANIM_SAELEF, nullptr, 1.0f},
    /* 254 */ {100, 1, NO_KEY, "pflag1", 0.01f, &PLACE, 1, 1, 9, 1000, 0x81, -1, 0, nullptr, nullptr, 1.0f}, // given
    /* 255 */ {100, 1, NO_KEY, "flag1", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, &ANIM_FLAG, nullptr, 1.0f},
    /* 256 */ {100, 1, NO_KEY, "pub1", 0.01f, &PLACE, 1, 1, 8, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f}, // given
    /* 257 */ {100, 1, NO_KEY, "pub2", 0.01f, &PLACE, 1, 1, 8, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 258 */ {100, 1, NO_KEY, "pub3", 0.01f, &PLACE, 1, 1, 8, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    /* 259 */ {6, 1, NO_KEY, "lflag01", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, &ANIM_LFLAG, nullptr, 1.0f},
    /* 260 */ {6, 1, NO_KEY, "projo", 0.01f, &PLACE, 1, 1, 3, 1000, 0xC4, -1, 0, nullptr, &GLOW_PROJO, 1.0f}, // given
    /* 261 */ {6, 1, NO_KEY, "chenille", 0.01f, &PLACE, 1, 1, 1, 1000, 0xD0, -1, 0, nullptr, nullptr, 1.0f},
    {OBJECT_TRACK_NONE, 0, NO_KEY, "end", 0.0f, &PLACE, 0, 0, 0, 0, 0, -1, 0, nullptr, nullptr, 0.0f},
};

#undef NO_KEY

const ObjectGlow INITIAL_GLOWS[OBJECT_GLOWS] = {
    {0, "vlum3.3df", 255, 145, 0, 100.0f, 0.0f, 0.0f, 0.0f},  {0, "vlum3.3df", 255, 145, 0, 100.0f, 0.0f, 0.0f, 0.0f},
    {0, "vlum3.3df", 255, 145, 0, 100.0f, 0.0f, 0.0f, 0.0f},  {1, "hwgate1.3df", 255, 100, 0, 60.0f, 0.0f, 0.0f, 0.0f},
    {1, "hwpan1.3df", 255, 100, 0, 60.0f, 0.0f, 0.0f, 0.0f},  {1, "hwpan2.3df", 255, 100, 0, 60.0f, 0.0f, 0.0f, 0.0f},
    {1, "hwpan3.3df", 255, 100, 0, 60.0f, 0.0f, 0.0f, 0.0f},  {0, nullptr, 255, 90, 0, 100.0f, 0.0f, 180.0f, 50.0f},
    {0, nullptr, 255, 90, 0, 100.0f, 40.0f, 180.0f, -20.0f},  {0, "g5.3df", 255, 200, 0, 40.0f, 0.0f, 0.0f, 0.0f},
};

}  // namespace

ObjectGlow gObjectGlows[OBJECT_GLOWS];
ObjectType gObjectTypes[OBJECT_TYPE_ROWS + 1];
MeshHeader* gObjectModels[OBJECT_TYPE_ROWS + 1];

void ObjectTypesReset() {
  std::memcpy(gObjectGlows, INITIAL_GLOWS, sizeof gObjectGlows);
  std::memcpy(static_cast<void*>(gObjectTypes), INITIAL_TYPES, sizeof gObjectTypes);
}

namespace {
// The table holds its initial values before main runs.
const bool INITIALISED = (ObjectTypesReset(), true);
}  // namespace
