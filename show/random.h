#pragma once

#include <QList>
#include <QRandomGenerator>

namespace montera {

// The show's one source of random values, uniform on [0, 1) in single
// precision. Tests drive the show with a scripted source.
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

// Gives the scripted values in turn, then values of a fixed-seed generator.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(QList<float> values = {}, quint32 seed = 1)
        : m_values(std::move(values))
        , m_generator(seed)
    {}
    void seedFromClock() override { ++m_seedings; }
    float next() override;
    void append(const QList<float>& values) { m_values += values; }
    int seedings() const { return m_seedings; }
    int drawn() const { return m_drawn; }

private:
    QList<float> m_values;
    QRandomGenerator m_generator;
    qsizetype m_position = 0;
    int m_seedings = 0;
    int m_drawn = 0;
};

// A uniform value on [0, 1) in single precision from 24 random bits.
inline float unitFloat(QRandomGenerator& generator)
{
    return static_cast<float>(generator.generate() >> 8) * (1.0f / 16777216.0f);
}

} // namespace montera
