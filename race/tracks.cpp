#include "race/tracks.h"

#include <cstring>

#include "race/vehicle_steps.h"

namespace {

// A numbered ground texture: no colour key, loaded.
#define G(name) {name, -1, -1, -1, 0, 1, 0, 0, 0, nullptr}
#define END {"end", -1, -1, -1, 0, 0, 0, 0, 0, nullptr}

TrackTextureEntry gGround0[] = {
    {"terplan.3df", -1, -1, -1, 1, 1, 0, 0, 0, nullptr},
    G("a1.3df"), G("a2.3df"), G("a3.3df"), G("a4.3df"), G("a5.3df"), G("a6.3df"), G("a7.3df"), G("a8.3df"),
    G("a9.3df"), G("a10.3df"), G("a11.3df"), G("a12.3df"), G("a13.3df"), G("a14.3df"), G("a15.3df"),
    G("a16.3df"), G("a17.3df"), G("a18.3df"), G("a19.3df"), G("a20.3df"), G("a21.3df"), G("a22.3df"),
    G("a23.3df"), G("a24.3df"), G("a25.3df"), G("a26.3df"), G("a27.3df"), G("a28.3df"), G("a29.3df"),
    G("a30.3df"), G("a31.3df"), G("a32.3df"), G("a33.3df"), G("a34.3df"), G("a35.3df"), G("a36.3df"),
    G("a37.3df"), G("a38.3df"), G("a39.3df"), G("a40.3df"), G("a41.3df"), G("a42.3df"), G("a43.3df"),
    G("a44.3df"), G("a45.3df"), G("a46.3df"), G("a47.3df"), G("a48.3df"), G("a49.3df"), G("a50.3df"),
    G("a51.3df"), G("a52.3df"), G("a53.3df"), G("a54.3df"), G("a55.3df"),
    END,
};
TrackTextureEntry gGround1[] = {
    {"terneige.3df", -1, -1, -1, 1, 1, 0, 0, 0, nullptr},
    G("b1.3df"), G("b2.3df"), G("b3.3df"), G("b4.3df"), G("b5.3df"), G("b6.3df"), G("b7.3df"), G("b8.3df"),
    G("b9.3df"), G("b10.3df"), G("b11.3df"), G("b12.3df"), G("b13.3df"), G("b14.3df"), G("b15.3df"),
    G("b16.3df"), G("b17.3df"), G("b18.3df"), G("b19.3df"), G("b20.3df"), G("b21.3df"), G("b22.3df"),
    G("b23.3df"), G("b24.3df"), G("b25.3df"), G("b26.3df"), G("b27.3df"), G("b28.3df"), G("b29.3df"),
    G("b30.3df"), G("b31.3df"), G("b32.3df"), G("b33.3df"), G("b34.3df"), G("b35.3df"), G("b36.3df"),
    G("b37.3df"), G("b38.3df"), G("b39.3df"), G("b40.3df"), G("b41.3df"), G("b42.3df"), G("b43.3df"),
    G("b44.3df"),
    END,
};
TrackTextureEntry gGround2[] = {
    {"terboue.3df", -1, -1, -1, 1, 1, 0, 0, 0, nullptr},
    G("c1.3df"), G("c2.3df"), G("c3.3df"), G("c4.3df"), G("c5.3df"), G("c6.3df"), G("c7.3df"), G("c8.3df"),
    G("c9.3df"), G("c10.3df"), G("c11.3df"), G("c12.3df"), G("c13.3df"), G("c14.3df"), G("c15.3df"),
    G("c16.3df"), G("c17.3df"), G("c18.3df"), G("c19.3df"), G("c20.3df"), G("c21.3df"), G("c22.3df"),
    G("c23.3df"), G("c24.3df"), G("c25.3df"), G("c26.3df"), G("c27.3df"), G("c28.3df"), G("c29.3df"),
    G("c30.3df"), G("c31.3df"), G("c32.3df"), G("c33.3df"), G("c34.3df"), G("c35.3df"), G("c36.3df"),
    G("c37.3df"), G("c38.3df"), G("c39.3df"), G("c40.3df"), G("c41.3df"), G("c42.3df"), G("c43.3df"),
    G("c44.3df"), G("c45.3df"), G("c46.3df"), G("c47.3df"), G("c48.3df"), G("c49.3df"), G("c50.3df"),
    G("c51.3df"), G("c52.3df"), G("c53.3df"),
    END,
};
TrackTextureEntry gGround3[] = {
    {"tervolc.3df", -1, -1, -1, 1, 1, 0, 0, 0, nullptr},
    G("d1.3df"), G("d2.3df"), G("d3.3df"), G("d4.3df"), G("d5.3df"), G("d6.3df"), G("d7.3df"), G("d8.3df"),
    G("d9.3df"), G("d10.3df"), G("d11.3df"), G("d12.3df"), G("d13.3df"), G("d14.3df"), G("d15.3df"),
    G("d16.3df"), G("d17.3df"), G("d18.3df"), G("d19.3df"), G("d20.3df"), G("d21.3df"), G("d22.3df"),
    G("d23.3df"), G("d24.3df"), G("d25.3df"), G("d26.3df"), G("d27.3df"), G("d28.3df"), G("d29.3df"),
    G("d30.3df"), G("d31.3df"), G("d32.3df"), G("d33.3df"), G("d34.3df"), G("d35.3df"), G("d36.3df"),
    G("d37.3df"), G("d38.3df"), G("d39.3df"), G("d40.3df"), G("d41.3df"), G("d42.3df"), G("d43.3df"),
    G("d44.3df"), G("d45.3df"), G("d46.3df"), G("d47.3df"), G("d48.3df"), G("d49.3df"), G("d50.3df"),
    G("d51.3df"), G("d52.3df"), G("d53.3df"), G("d54.3df"), G("d55.3df"), G("d56.3df"),
    END,
};
TrackTextureEntry gGround4[] = {
    {"terhw.3df", -1, -1, -1, 1, 1, 0, 0, 0, nullptr},
    G("e1.3df"), G("e2.3df"), G("e3.3df"), G("e4.3df"), G("e5.3df"), G("e6.3df"), G("e7.3df"), G("e8.3df"),
    G("e9.3df"), G("e10.3df"), G("e11.3df"), G("e12.3df"), G("e13.3df"), G("e14.3df"), G("e15.3df"),
    G("e16.3df"), G("e17.3df"), G("e18.3df"), G("e19.3df"), G("e20.3df"), G("e21.3df"), G("e22.3df"),
    G("e23.3df"), G("e24.3df"), G("e25.3df"), G("e26.3df"), G("e27.3df"), G("e28.3df"), G("e29.3df"),
    G("e30.3df"), G("e31.3df"), G("e32.3df"), G("e33.3df"), G("e34.3df"), G("e35.3df"), G("e36.3df"),
    G("e37.3df"), G("e38.3df"), G("e39.3df"), G("e40.3df"), G("e41.3df"), G("e42.3df"), G("e43.3df"),
    G("e44.3df"), G("e45.3df"), G("e46.3df"), G("e47.3df"), G("e48.3df"), G("e49.3df"), G("e50.3df"),
    G("e51.3df"), G("e52.3df"), G("e53.3df"), G("e54.3df"), G("e55.3df"),
    END,
};
TrackTextureEntry gGround5[] = {
    {"terru.3df", -1, -1, -1, 1, 1, 0, 0, 0, nullptr},
    G("f1.3df"), G("f2.3df"), G("f3.3df"), G("f4.3df"), G("f5.3df"), G("f6.3df"), G("f7.3df"), G("f8.3df"),
    G("f9.3df"), G("f10.3df"), G("f11.3df"), G("f12.3df"), G("f13.3df"), G("f14.3df"), G("f15.3df"),
    G("f16.3df"), G("f17.3df"), G("f18.3df"), G("f19.3df"), G("f20.3df"), G("f21.3df"), G("f22.3df"),
    G("f23.3df"), G("f24.3df"), G("f25.3df"), G("f26.3df"), G("f27.3df"), G("f28.3df"), G("f29.3df"),
    G("f30.3df"), G("f31.3df"), G("f32.3df"), G("f33.3df"), G("f34.3df"), G("f35.3df"), G("f36.3df"),
    G("f37.3df"), G("f38.3df"), G("f39.3df"), G("f40.3df"), G("f41.3df"), G("f42.3df"), G("f43.3df"),
    G("f44.3df"), G("f45.3df"), G("f46.3df"), G("f47.3df"), G("f48.3df"), G("f49.3df"), G("f50.3df"),
    G("f51.3df"), G("f52.3df"), G("f53.3df"), G("f54.3df"), G("f55.3df"),
    END,
};
TrackTextureEntry gGround6[] = {
    {"terloop.3df", -1, -1, -1, 1, 1, 0, 0, 0, nullptr},
    G("g1.3df"), G("g2.3df"), G("g3.3df"), G("g4.3df"), G("g5.3df"), G("g6.3df"), G("g7.3df"), G("g8.3df"),
    G("g9.3df"), G("g10.3df"), G("g11.3df"), G("g12.3df"), G("g13.3df"), G("g14.3df"), G("g15.3df"),
    G("g16.3df"), G("g17.3df"), G("g18.3df"), G("g19.3df"), G("g20.3df"), G("g21.3df"), G("g22.3df"),
    G("g23.3df"), G("g24.3df"), G("g25.3df"), G("g26.3df"), G("g27.3df"), G("g28.3df"), G("g29.3df"),
    G("g30.3df"), G("g31.3df"), G("g32.3df"), G("g33.3df"), G("g34.3df"), G("g35.3df"), G("g36.3df"),
    G("g37.3df"), G("g38.3df"), G("g39.3df"), G("g40.3df"), G("g41.3df"), G("g42.3df"), G("g43.3df"),
    G("g44.3df"), G("g45.3df"), G("g46.3df"), G("g47.3df"), G("g48.3df"), G("g49.3df"), G("g50.3df"),
    G("g51.3df"), G("g52.3df"), G("g53.3df"), G("g54.3df"), G("g55.3df"), G("g56.3df"), G("g57.3df"),
    G("g58.3df"),
    END,
};
TrackTextureEntry gGround7[] = {
    {"tersu.3df", -1, -1, -1, 1, 1, 0, 0, 0, nullptr},
    G("h1.3df"), G("h2.3df"), G("h3.3df"), G("h4.3df"), G("h5.3df"), G("h6.3df"), G("h7.3df"), G("h8.3df"),
    G("h9.3df"), G("h10.3df"), G("h11.3df"), G("h12.3df"), G("h13.3df"), G("h14.3df"), G("h15.3df"),
    G("h16.3df"), G("h17.3df"), G("h18.3df"), G("h19.3df"), G("h20.3df"), G("h21.3df"), G("h22.3df"),
    G("h23.3df"), G("h24.3df"), G("h25.3df"), G("h26.3df"), G("h27.3df"), G("h28.3df"), G("h29.3df"),
    G("h30.3df"), G("h31.3df"), G("h32.3df"), G("h33.3df"), G("h34.3df"), G("h35.3df"), G("h36.3df"),
    G("h37.3df"), G("h38.3df"), G("h39.3df"), G("h40.3df"), G("h41.3df"), G("h42.3df"), G("h43.3df"),
    G("h44.3df"), G("h45.3df"), G("h46.3df"), G("h47.3df"), G("h48.3df"), G("h49.3df"), G("h50.3df"),
    G("h51.3df"), G("h52.3df"), G("h53.3df"), G("h54.3df"), G("h55.3df"),
    END,
};
TrackTextureEntry gGround8[] = {
    {"tersa.3df", -1, -1, -1, 1, 1, 0, 0, 0, nullptr},
    G("i1.3df"), G("i2.3df"), G("i3.3df"), G("i4.3df"), G("i5.3df"), G("i6.3df"), G("i7.3df"), G("i8.3df"),
    G("i9.3df"), G("i10.3df"), G("i11.3df"), G("i12.3df"), G("i13.3df"), G("i14.3df"), G("i15.3df"),
    G("i16.3df"), G("i17.3df"), G("i18.3df"), G("i19.3df"), G("i20.3df"), G("i21.3df"), G("i22.3df"),
    G("i23.3df"), G("i24.3df"), G("i25.3df"), G("i26.3df"), G("i27.3df"), G("i28.3df"), G("i29.3df"),
    G("i30.3df"), G("i31.3df"), G("i32.3df"), G("i33.3df"), G("i34.3df"), G("i35.3df"), G("i36.3df"),
    G("i37.3df"), G("i38.3df"), G("i39.3df"), G("i40.3df"), G("i41.3df"), G("i42.3df"), G("i43.3df"),
    G("i44.3df"), G("i45.3df"), G("i46.3df"), G("i47.3df"), G("i48.3df"), G("i49.3df"), G("i50.3df"),
    G("i51.3df"), G("i52.3df"), G("i53.3df"), G("i54.3df"), G("i55.3df"),
    END,
};
TrackTextureEntry gGround9[] = {
    {"terice.3df", -1, -1, -1, 1, 1, 0, 0, 0, nullptr},
    G("j1.3df"), G("j2.3df"), G("j3.3df"), G("j4.3df"), G("j5.3df"), G("j6.3df"), G("j7.3df"), G("j8.3df"),
    G("j9.3df"), G("j10.3df"), G("j11.3df"), G("j12.3df"), G("j13.3df"), G("j14.3df"), G("j15.3df"),
    G("j16.3df"), G("j17.3df"), G("j18.3df"), G("j19.3df"), G("j20.3df"), G("j21.3df"), G("j22.3df"),
    G("j23.3df"), G("j24.3df"), G("j25.3df"), G("j26.3df"), G("j27.3df"), G("j28.3df"), G("j29.3df"),
    G("j30.3df"),
    END,
};
TrackTextureEntry gSky0[] = {
    {"sky.3df", 74, 173, 222, 0, 0, 0, 0, 0, nullptr},
    {"sun.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"typo1.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"typo2.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"desky.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    END,
};
TrackTextureEntry gSky1[] = {
    {"sky.3df", 240, 240, 240, 0, 0, 0, 0, 0, nullptr},
    {"sun.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"typo1.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"typo2.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"", -1, -1, -1, 0, 0, 0, 0, 0, nullptr},
    END,
};
TrackTextureEntry gSky2[] = {
    {"ora.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"sun.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"typo1.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"typo2.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"", -1, -1, -1, 0, 0, 0, 0, 0, nullptr},
    END,
};
TrackTextureEntry gSky3[] = {
    {"ora.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"sun.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"typo1.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"typo2.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"", -1, -1, -1, 0, 0, 0, 0, 0, nullptr},
    END,
};
TrackTextureEntry gSky4[] = {
    {"sky.3df", 125, 35, 8, 0, 0, 0, 0, 0, nullptr},
    {"sun.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"typo1.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"typo2.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"hwsky.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    END,
};
TrackTextureEntry gSky5[] = {
    {"sky.3df", 74, 173, 222, 0, 0, 0, 0, 0, nullptr},
    {"sun.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"typo1.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"typo2.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"rusky.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    END,
};
TrackTextureEntry gSky6[] = {
    {"lune.3df", 0, 0, 0, 0, 0, 0, 0, 0, nullptr},
    {"sun.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"typo1.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"typo2.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"", -1, -1, -1, 0, 0, 0, 0, 0, nullptr},
    END,
};
TrackTextureEntry gSky7[] = {
    {"water.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"sun.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"typo1.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"typo2.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"susky.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    END,
};
TrackTextureEntry gSky8[] = {
    {"water.3df", -1, -1, -1, 0, 0, 0, 0, 0, nullptr},
    {"sun.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"typo1.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"typo2.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"sasky.3df", -1, -1, -1, 0, 0, 0, 0, 0, nullptr},
    END,
};
TrackTextureEntry gSky9[] = {
    {"ice.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"sun.3df", -1, -1, -1, 0, 1, 0, 0, 0, nullptr},
    {"typo1.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"typo2.3df", 0, 0, 0, 0, 1, 0, 0, 0, nullptr},
    {"susky.3df", -1, -1, -1, 0, 0, 0, 0, 0, nullptr},
    END,
};

#undef G
#undef END

}  // namespace

TrackInfo gTrackInfo[TRACK_COUNT] = {
    {"desert", gGround0, gSky0, {100, -700, 1000, 64, 0}, 256, 1, 780, 6620, 53, 40, 0.5f, NO_WATER_LEVEL},
    {"neige", gGround1, gSky1, {-500, -200, -500, 64, 30}, 0, 0, 1876, 2180, -40, 53, 0.4f, NO_WATER_LEVEL},
    {"boue", gGround2, gSky2, {500, -400, 500, 64, 30}, 0, 0, 580, 2120, -40, 53, 0.5f, 820},
    {"volcano", gGround3, gSky3, {500, -100, 500, 64, 30}, 0, 0, 1041, 4405, -50, 53, 0.5f, 1000},
    {"highway", gGround4, gSky4, {-1000, -100, 0, 64, 0}, 256, 1, 2753, 7061, 53, 40, 1.0f, NO_WATER_LEVEL},
    {"ruines", gGround5, gSky5, {100, -700, 1000, 64, 0}, 256, 1, 1796, 6556, 53, 40, 0.5f, NO_WATER_LEVEL},
    {"looping", gGround6, gSky6, {1000, 100, 500, 64, 0}, 256, 1, 3815, 5459, 53, 40, 0.5f, NO_WATER_LEVEL},
    {"sunset", gGround7, gSky7, {-1000, -100, 700, 64, 30}, 256, 1, 3175, 4875, 53, 40, 0.5f, 360},
    {"savana", gGround8, gSky8, {1000, -600, 0, 64, 0}, 256, 1, 3554, 5158, 53, 50, 0.5f, NO_WATER_LEVEL},
    {"ice", gGround9, gSky9, {-1000, -1000, 700, 64, 30}, 256, 1, 2241, 6041, 53, 40, 0.2f, NO_WATER_LEVEL},
};

const TrackEnvironment TRACK_ENVIRONMENT[TRACK_COUNT] = {
    {{50, 28, 8}, 100, {200, 100, 20}, 100, 3, 241000, 0},
    {{60, 60, 60}, 120, {110, 110, 110}, 120, 4, 316000, 3},
    {{20, 10, 0}, 50, {40, 20, 0}, 50, 3, 301000, 1},
    {{56, 56, 56}, 50, {51, 40, 26}, 70, 4, 281000, 0},
    {{56, 56, 56}, 50, {51, 40, 26}, 70, 4, 346000, 4},
    {{128, 110, 70}, 50, {128, 70, 70}, 70, 3, 326000, 1},
    {{20, 20, 20}, 50, {20, 30, 20}, 40, 3, 226000, 2},
    {{128, 128, 80}, 70, {128, 128, 80}, 50, 5, 256000, 2},
    {{50, 28, 8}, 100, {150, 140, 120}, 100, 4, 286000, 3},
    {{60, 60, 60}, 120, {110, 110, 110}, 120, 5, 301000, 4},
};

const uint8_t TRACK_CLEAR_COLOURS[TRACK_COUNT][3] = {
    {99, 198, 255}, {240, 240, 240}, {24, 24, 16},  {90, 65, 65},   {189, 82, 66},
    {107, 156, 255}, {7, 8, 15},     {123, 173, 231}, {177, 197, 162}, {198, 198, 245},
};
const uint8_t TRACK_HORIZON_COLOURS[TRACK_COUNT][3] = {
    {33, 148, 255},  {240, 240, 240}, {24, 24, 16},    {90, 65, 65},    {214, 74, 16},
    {132, 165, 173}, {7, 8, 15},      {206, 181, 181}, {177, 197, 162}, {198, 198, 245},
};

int32_t TrackTextureCount(const TrackTextureEntry* list) {
  int32_t n = 0;
  while (list && std::strcmp(list[n].name, "end") != 0) ++n;
  return n;
}

CarModel gCarModels[CAR_MODEL_ROWS];

void VehicleSelectCarModel(const Vehicle* v) {
  gVehicleStep.carModel = &gCarModels[v->type >= 0 && v->type < CAR_MODEL_ROWS ? v->type : 0];
}


namespace {

const EmitterPoint POINTS_0[] = {
    {4.9f, 10.34f, -19.0f, 273, 740}, {-4.9f, 10.34f, -19.0f, 273, 273}, {CAR_MODEL_POINTS_END, 0, 0, 0, 0}};
const EmitterPoint POINTS_1[] = {
    {4.6f, 6.5f, -9.6f, 498, 989}, {-4.6f, 6.5f, -9.6f, 498, 35}, {CAR_MODEL_POINTS_END, 0, 0, 0, 0}};
const EmitterPoint POINTS_2[] = {
    {-8.0f, -0.5f, -3.1f, 0, 660}, {8.0f, -0.5f, -3.1f, 0, 364}, {CAR_MODEL_POINTS_END, 0, 0, 0, 0}};
const EmitterPoint POINTS_3[] = {
    {1.9f, 5.5f, 10.4f, 129, 348}, {-1.9f, 5.5f, 10.4f, 129, 676}, {CAR_MODEL_POINTS_END, 0, 0, 0, 0}};
const EmitterPoint POINTS_4[] = {{0.0f, 10.6f, 7.8f, 256, 0}, {CAR_MODEL_POINTS_END, 0, 0, 0, 0}};
const EmitterPoint POINTS_5[] = {{0.0f, 7.5f, -22.9f, 0, 512}, {CAR_MODEL_POINTS_END, 0, 0, 0, 0}};

struct CarGeometry {
  CarPoint point1, point2, point3, point4, point5;
  float bodyPointHeight, sway;
  uint8_t flag1, flag2;
  int32_t lightFactor;
  const EmitterPoint* points;
};

const CarGeometry CAR_GEOMETRY[CAR_MODEL_GAME_ROWS] = {
    {{-1.56f, 7.8f, 3.64f}, {-0.31f, 10.7f, 2.1775f}, {0, 7, -14.6f}, {6.6f, 3.891f, 11}, {7.2f, 3.891f, -11.51f},
     4.9f, 3.0f, 1, 1, 100, POINTS_0},
    {{0, 7.23f, 4.86f}, {0.20625f, 11.755f, -0.1275f}, {0, 5.1f, -10}, {6.83f, 3.33f, 11.64f}, {6.83f, 3.33f, -11.83f},
     2.685f, 1.0f, 0, 0, 150, POINTS_1},
    {{-3.1f, 8.36f, 1.14f}, {-3.1f, 11.4913f, 1.55875f}, {0, 8, -20}, {6.86f, 3.69f, 13.98f}, {8.04f, 4.08f, -8.92f},
     3.86f, 2.0f, 1, 1, 80, POINTS_2},
    {{-1.7f, 8.28f, -0.54f}, {0.16875f, 9.99875f, -1.265f}, {1.7f, 5.35f, 7.16f}, {7.35f, 3.3f, 13.611f},
     {9.13f, 3.76f, -12.47f}, 4.0f, 2.0f, 1, 0, 150, POINTS_3},
    {{0, 7.99f, -5.22f}, {0, 12.365f, -6.03875f}, {2, 6.66f, 8.75f}, {6.99f, 3.39f, 10.1f}, {7.46f, 3.9f, -13},
     5.39f, 2.0f, 1, 0, 150, POINTS_4},
    {{-2.36f, 8.02f, 3.698f}, {-0.06f, 11.1575f, -4.42075f}, {0.8f, 8.47f, -7.6f}, {7.19f, 3.37f, 13.05f},
     {7.18f, 3.94f, -10.05f}, 4.91f, 1.0f, 1, 1, 150, POINTS_5},
};

}  // namespace

void CarModelSetGeometry() {
  for (int row = 0; row < CAR_MODEL_ROWS; ++row) {
    CarModel& m = gCarModels[row];
    for (int s = 0; s < 3; ++s) m.bodySet[s] = m.body[s];
    for (int s = 0; s < CAR_WHEEL_SETS; ++s) m.wheelSet[s] = m.wheels[s];
    m.lightFactor = 100;
    if (row >= CAR_MODEL_GAME_ROWS) continue;
    const CarGeometry& g = CAR_GEOMETRY[row];
    m.point1 = g.point1;
    m.point2 = g.point2;
    m.point3 = g.point3;
    m.point4 = g.point4;
    m.point5 = g.point5;
    m.bodyPointHeight = g.bodyPointHeight;
    m.sway = g.sway;
    m.flag1 = g.flag1;
    m.flag2 = g.flag2;
    m.lightFactor = g.lightFactor;
    m.points = g.points;
  }
}
