#pragma once

#include <QtGlobal>

// The program's random generator (SplitMix64). Seeded once at start-up; the diffuse effect draws from it.
class EffectRandom final {
public:
    explicit EffectRandom(quint64 seed = 0) : m_state(seed) {}

    void seed(quint64 seed) { m_state = seed; }
    // A number in [0, 1) with 53 random bits.
    double draw() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Moves on as if count numbers had been drawn.
    void skip(quint64 count) { m_state += count * kGamma; }

private:
    static constexpr quint64 kGamma = 0x9E3779B97F4A7C15ULL;

    quint64 next() {
        quint64 z = (m_state += kGamma);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    quint64 m_state;
};
