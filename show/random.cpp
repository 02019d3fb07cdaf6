#include "random.h"

#include <chrono>

namespace montera {

void ClockSeededRandom::seedFromClock()
{
    // Nanoseconds, so that two shows started in the same millisecond differ.
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    m_generator.seed(static_cast<quint32>(now) ^ static_cast<quint32>(static_cast<quint64>(now) >> 32));
}

float ClockSeededRandom::next()
{
    return unitFloat(m_generator);
}

} // namespace montera
