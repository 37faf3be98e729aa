#pragma once
// Mean duration in ms of every English phone (numbers 33 to 76, the phone
// table's order) in natural US-English speech: the published means of the
// CMU/kal diphone voice's duration table (Festival's festvox-kallpc16k,
// kaldurtreeZ.scm, "kal_durs"; CSTR, University of Edinburgh).
// Made by data/english/make_rhythm_durations.py; do not edit.
#include <array>

namespace vorsan::englishrhythm {
inline constexpr std::array<int, 44> kMeanDurations = {
     88, // p (p)
     69, // b (b)
     70, // t (t)
     48, // d (d)
     89, // k (k)
     69, // m (m)
     59, // n (n)
     66, // l (l)
     53, // r (r)
     95, // f (f)
     51, // v (v)
    102, // s (s)
     79, // z (z)
     61, // h (hh)
     54, // w (w)
     64, // g (g)
    115, // tS (ch)
     94, // dZ (jh)
     64, // N (ng)
     93, // T (th)
     31, // D (dh)
    108, // S (sh)
     71, // Z (zh)
     48, // j (y)
     97, // i: (iy)
     94, // A: (aa)
    138, // O: (ao)
    107, // u: (uw)
     86, // 3: (er)
     58, // I (ih)
     95, // e (eh)
    120, // { (ae)
     87, // V (ah)
     94, // Q (aa)
     67, // U (uh)
     46, // @ (ax)
    132, // eI (ey)
    137, // aI (ay)
    183, // OI (oy)
    134, // @U (ow)
    166, // aU (aw)
    104, // I@ (ih+ax)
    141, // e@ (eh+ax)
    113, // U@ (uh+ax)
};
} // namespace vorsan::englishrhythm
