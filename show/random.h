#pragma once

#include <QRandomGenerator>

namespace montera {

// The show's one source of random values, uniform on [0, 1) in single
// precision. Tests drive the show with a source of their own.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seedFromClock() = 0;
    virtual float next() = 0;
};

class ClockSeededRandom final : public RandomSource {
public:
    void seedFromClock() override;
    float next() override;

private:
    QRandomGenerator m_generator;
};

// A uniform value on [0, 1) in single precision from 24 random bits.
inline float unitFloat(QRandomGenerator& generator)
{
    return static_cast<float>(generator.generate() >> 8) * (1.0f / 16777216.0f);
}

} // namespace montera
