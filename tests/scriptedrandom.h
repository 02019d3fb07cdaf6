#pragma once

#include "random.h"

#include <QList>

namespace montera {

// Gives the scripted values in turn, then values of a fixed-seed generator.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(QList<float> values = {}, quint32 seed = 1)
        : m_values(std::move(values))
        , m_generator(seed)
    {}
    void seedFromClock() override { ++m_seedings; }
    float next() override
    {
        ++m_drawn;
        if (m_position < m_values.size())
            return m_values.at(m_position++);
        return unitFloat(m_generator);
    }
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

} // namespace montera
