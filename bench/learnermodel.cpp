#include "learnermodel.h"

#include <algorithm>
#include <cmath>

namespace montera::learner {

Learner::Learner(std::vector<double> difficulty, double growth)
    : m_difficulty(std::move(difficulty))
    , m_growth(growth)
    , m_stability(m_difficulty.size(), 0.0)
    , m_learnedAt(m_difficulty.size(), 0.0)
    , m_learned(m_difficulty.size(), false)
{}

double Learner::recall(int question, double t) const
{
    const auto q = static_cast<size_t>(question);
    if (!m_learned[q])
        return 0.0;
    // An exp that underflows gives 0, which counts as never learned below.
    return std::exp(-(t - m_learnedAt[q]) / m_stability[q]);
}

bool Learner::answer(int question, double t, double u, Reveal reveal)
{
    const auto q = static_cast<size_t>(question);
    const double p = recall(question, t);
    const bool right = u < p + (1.0 - p) / 5.0;
    const double g = m_difficulty[q];
    if (right) {
        m_stability[q] = p > 0.0 ? std::max(m_stability[q], 0.5 * g) * (1.0 + m_growth * g) : 0.5 * g;
    } else if (reveal == Reveal::Shown) {
        m_stability[q] = 0.5 * g;
    } else {
        return false;
    }
    m_learnedAt[q] = t;
    m_learned[q] = true;
    return right;
}

double Learner::score(double t) const
{
    if (m_difficulty.empty())
        return 0.0;
    double sum = 0.0;
    for (int q = 0; q < questionCount(); ++q)
        sum += recall(q, t);
    return sum / static_cast<double>(m_difficulty.size());
}

} // namespace montera::learner
