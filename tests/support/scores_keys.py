#!/usr/bin/env python3
"""Prints the key bytes of rur.sc for scores_keys.h, computed apart from the
game's code: the random table filled from its generator (the universal
generator of Marsaglia, Zaman and Tsang seeded 12, 34, 56, 78, 20000 draws
thrown away, signs from the shift register 0x5A17C3E9), then image byte i
keyed by entry 7480 - i: the magnitude of its low 16 bits taken as a signed
number, cut to 8 bits. Every value of the generator is a multiple of 2^-24
below 1, so Python's doubles give the single-precision results exactly."""

IMAGE_BYTES = 7480
OFFSETS = [0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 19, 27, 28, 31, 2484, 2488, 4964, 4972,
           7443, 7444, 7445, 7452, 7453, 7459, 7460, 7468, 7475, 7476, 7477, 7478, 7479]


def random_table(n):
    i, j, k, l = 12, 34, 56, 78
    u = [0.0] * 98
    for idx in range(1, 98):
        s, t = 0.0, 0.5
        for _ in range(24):
            m = (((i * j) % 179) * k) % 179
            i, j, k = j, k, m
            l = (53 * l + 1) % 169
            if (l * m) % 64 >= 32:
                s += t
            t *= 0.5
        u[idx] = s
    state = {"c": 362436 / 16777216, "i97": 97, "j97": 33, "r": 0x5A17C3E9}
    cd, cm = 7654321 / 16777216, 16777213 / 16777216

    def draw():
        uni = u[state["i97"]] - u[state["j97"]]
        if uni < 0:
            uni += 1.0
        u[state["i97"]] = uni
        state["i97"] = state["i97"] - 1 or 97
        state["j97"] = state["j97"] - 1 or 97
        state["c"] -= cd
        if state["c"] < 0:
            state["c"] += cm
        uni -= state["c"]
        if uni < 0:
            uni += 1.0
        return uni

    def sign_bit():
        r = state["r"]
        for _ in range(16):
            r = ((r << 1) | (((r >> 30) ^ (r >> 29)) & 1)) & 0xFFFFFFFF
        state["r"] = r
        return r & 1

    for _ in range(20000):
        draw()
    out = []
    for _ in range(n):
        magnitude = int(draw() * 4096.0 * 4096.0)
        out.append(magnitude if sign_bit() else -magnitude)
    return out


def key(table, i):
    low = table[IMAGE_BYTES - i] & 0xFFFF
    if low >= 0x8000:
        low -= 0x10000
    return abs(low) & 0xFF


if __name__ == "__main__":
    table = random_table(32768)
    print(", ".join("{%d, %d}" % (o, key(table, o)) for o in OFFSETS))
