#!/usr/bin/env python3
"""Independent hand-check of the engine's realistic designs (EngineDesignsTest.cpp).

Plain Python, no dependencies: every stored value is rounded to a 4-byte float
with struct, formulas are evaluated in double from the stored floats, shown
values are formatted half away from zero from the float's 7 significant digits
and read back where the window reads them back. Written from the design
formulas, not from the C++ code. Run: python3 tests/calc/engine_reference.py
"""
import math
import struct
from decimal import Decimal, ROUND_HALF_UP


def f32(x):
    return struct.unpack('f', struct.pack('f', x))[0]


def short(v):
    """Shortest decimal text that gives back the same float."""
    for p in range(1, 10):
        s = '%.*g' % (p, v)
        if 'e' in s:
            continue
        if f32(float(s)) == v:
            return s
    return repr(v)


def shown(v, dec):
    d = Decimal('%.7g' % v).quantize(Decimal(1).scaleb(-dec), rounding=ROUND_HALF_UP)
    return format(d, 'f')


def readback(v, dec):
    return f32(float(shown(v, dec)))


def sci(v):
    m, e = ('%.7e' % v).split('e')
    d = Decimal(m).quantize(Decimal('0.1'), rounding=ROUND_HALF_UP)
    e = int(e)
    if abs(d) >= 10:
        d /= 10
        e += 1
    return '%sE%s%02d' % (d, '-' if e < 0 else '+', abs(e))


PI = f32(math.pi)
E7 = 10.0 ** -7
DUR = [5, 10, 15, 20, 30, 45, 60, 90, 120]
# Intensities l/(s·ha) of two plausible design rains: periodicity 0.2 and 1.
RAIN_P02 = [290, 218, 175, 146, 110, 82, 66, 48, 38]
RAIN_P1 = [185, 126, 100, 82, 62, 46, 37, 27, 21]
RAIN_15 = [0, 0, 150, 0, 0, 0, 0, 0, 0]


def search(rain, cand, skip):
    best, bt, bi = 0.0, None, None
    for t, i in zip(DUR, rain):
        t, i = f32(t), f32(i)
        if skip and not t > 0:
            continue
        c = f32(cand(t, i))
        if c > best:
            best, bt, bi = c, t, i
    return best, bt, bi


def surface(a, i, kf):
    a, i, kf = f32(a), f32(i), f32(kf)
    area = f32(a / ((1e7 * kf) / (i + i) - 1))
    print('surface', a, i, kf, '->', short(readback(area, 1)), shown(area, 1))


def swale(a, soil, kf, f, rain):
    a, kf, f = f32(a), f32(kf), f32(f)
    area = readback(f32(a * (0.1 if soil == 0 else 0.2)), 1)
    v, t, i = search(rain, lambda t, i: (E7 * (area + a) * i - kf / 2 * area) * 60 * f * t, False)
    h = f32(v / area)
    doba = f32(2 * h / kf / 3600)
    print('swale', 'area', short(area), 'V', short(v), shown(v, 1), 'h', short(h), shown(h, 2),
          'T', short(doba), shown(doba, 1), 't', t, 'i', i)


def combined(a, soil, kf, kfs, f, h, b, s, rain, qo=0.0, se=None):
    a, kf, kfs, f, h, b, s = map(f32, (a, kf, kfs, f, h, b, s))
    se = s if se is None else f32(se)
    qo = f32(qo)
    area = readback(f32(a * (0.1 if soil == 0 else 0.2)), 1)
    v, _, _ = search(rain, lambda t, i: (E7 * (area + a) * i - kfs / 2 * area) * 60 * f * t, False)
    L, t, i = search(rain, lambda t, i: (E7 * (area + a) * i - qo - v / (t * 60 * f)) /
                     (h * b * se / (t * 60 * f) + (h / 2 + b) * kf / 2), True)
    print('combined', 'area', short(area), 'V', short(v), shown(v, 1), 'L', short(L), shown(L, 1),
          't', t, 'i', i)
    if L > 0:
        depth = f32(v / (L * b))
        foot = f32(L * b)
        doba = f32(2 * depth / kfs / 3600)
        print('   depth', short(depth), shown(depth, 2), 'foot', shown(foot, 2), '<' if foot < area
              else '>', shown(area, 2), 'T', short(doba), shown(doba, 1))


def trench(a, kf, f, h, b, s, rain, drain=None):
    a, kf, f, h, b, s = map(f32, (a, kf, f, h, b, s))
    se = s
    L, t, i = search(rain, lambda t, i: E7 * a * i / (h * b * se / (t * 60 * f) + (h / 2 + b) * kf / 2),
                     True)
    v = f32((E7 * a * i - (h / 2 + b) * L * kf / 2) * t * 60 * f)
    q = f32(1e-4 * a * i)
    area = readback(f32((h / 2 + b) * L), 1)
    print('trench', 'L', short(L), shown(L, 1), 'V', short(v), shown(v, 1), 'area', short(area),
          'Q', short(q), 't', t, 'i', i)
    if drain:
        plocha, pipes, vel = map(f32, drain)
        cap = f32(plocha / 10000 * pipes * vel * L * 1000)
        print('   drain', short(cap), shown(cap, 2), '<' if cap < q else '>', shown(q, 2))


def shaft(a, kf, f, n, do, di, frost, filt, sand, typ_b, minpath, hpv, rain):
    a, kf, f, do, di, frost, filt, sand, minpath, hpv = map(
        f32, (a, kf, f, do, di, frost, filt, sand, minpath, hpv))
    n = f32(n)

    def cand(t, i):
        q = f32(E7 * a * i)
        ab = f32((n * do) ** 2 * PI / 4)
        num = f32(q - ab * kf / 2)
        den = f32((n * di) ** 2 * PI / (t * 4 * 60 * f) + n * do * PI * kf / 4)
        return num / den
    hv, t, i = search(rain, cand, True)
    area = readback(f32((n * do) ** 2 / 4 * PI + n * PI * do * hv / 2), 2)
    depth = f32(frost + hv + filt + (sand if typ_b else 0))
    need = readback(f32(frost + hv + minpath), 2)
    v = f32((E7 * a * i - kf * area / 2) * t * 60 * f)
    kfil = f32((do ** 2 + 2 * hv * do) / di ** 2 * kf)
    kfil_back = f32(float(sci(kfil)))
    print('shaft', 'hv', short(hv), shown(hv, 2), 'area', short(area), 'depth', short(depth),
          shown(depth, 2), 'need', short(need), 'V', short(v), shown(v, 2), 'kfil', sci(kfil),
          short(kfil_back), 't', t, 'i', i)
    if hpv != 0 and abs(hpv) < need:
        print('   groundwater warning')
    elif not f32(depth + 0.5) > need:
        print('   filter', 'ok' if kfil_back <= f32(0.001) else 'too high')
    else:
        print('   bottom too low')


def basin(a, kf, f, qs, L, W, H, m, settle, rain):
    a, kf, f, qs, L, W, H, m = map(f32, (a, kf, f, qs, L, W, H, m))
    tok = f32(E7 * (qs * a))
    v, t, i = search(rain, lambda t, i: (E7 * a * i - tok) * t * 60 * f, False)
    tl = f32((H + H) * m + L)
    tw = f32((H + H) * m + W)
    vol = f32(((tl * L * W * tw) ** 0.5 + tw * tl + W * L) * (H / 3))
    print('basin', 'tok', short(tok), shown(tok, 2), 'V', short(v), shown(v, 2), 'vol', short(vol),
          shown(vol, 2), 't', t, 'i', i)
    if vol < v:
        print('   too small')
        return
    kfe = kf if settle else f32(kf / 5)
    qb = f32(W * L * kfe / 2)
    qt = f32(tw * tl * kfe / 2)
    qa = f32((qt + qb) / 2)
    print('   average', qa, 'ok' if qa >= tok else 'exceeds')


surface(2500, 175, 1e-4)
surface(640, 290, 5e-4)
surface(2500, 175, 2e-5)
swale(2500, 0, 5e-5, 1.2, RAIN_P02)
swale(1800, 1, 1e-5, 1.2, RAIN_P1)
combined(2000, 1, 5e-6, 2e-5, 1.2, 0.8, 0.6, 0.35, RAIN_P02)
combined(4200, 0, 2e-5, 5e-5, 1.15, 1.0, 0.8, 0.33, RAIN_P1)
combined(2000, 1, 5e-6, 2e-5, 1.2, 0.8, 0.6, 0.35, RAIN_P02, qo=0.002, se=0.36)
combined(1000, 0, 1e-7, 1e-5, 1.2, 0.2, 2.0, 0.35, RAIN_15, se=0.01)
trench(850, 2e-5, 1.2, 1.2, 0.8, 0.35, RAIN_P02)
trench(1200, 5e-5, 1.1, 1.0, 1.0, 0.33, RAIN_P1, drain=(120, 2, 0.08))
shaft(300, 1e-4, 1.2, 2, 1.2 + 2 * 0.135, 1.2, 1.2, 0.5, 0.3, False, 1.5, 0, RAIN_P02)
shaft(450, 2e-4, 1.2, 3, 1.5 + 2 * 0.15, 1.5, 1.0, 0.6, 0.4, True, 1.5, 6.0, RAIN_P1)
shaft(450, 2e-4, 1.2, 3, 1.5 + 2 * 0.15, 1.5, 1.0, 0.6, 0.4, True, 1.5, 2.0, RAIN_P1)
shaft(300, 1e-4, 1.2, 2, 1.2 + 2 * 0.135, 1.2, 1.2, 1.2, 0.3, True, 1.5, 0, RAIN_P02)
basin(12000, 5e-5, 1.2, 40, 30, 12, 1.5, 2, False, RAIN_P02)
basin(8000, 2e-4, 1.2, 15, 25, 10, 1.2, 1.5, True, RAIN_P1)
