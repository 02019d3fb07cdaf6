#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace montera::learner {

// Whether the right answer is put on screen after a miss.
enum class Reveal : std::int8_t { Hidden, Shown };

// A simulated learner of a question set, whose memory of each question fades
// exponentially. Times are in days. Its state is hidden from the draw: the
// draw sees only what the show records, whether an answer was right and when.
class Learner {
public:
    // One difficulty factor per question; the more, the easier it is kept.
    Learner(std::vector<double> difficulty, double growth);

    // The chance of recalling the question at time t: 0 when it was never
    // learned, else exp(-(t - learned) / stability).
    double recall(int question, double t) const;

    // Answers the question asked at time t with the uniform value u in
    // [0, 1): right when u falls below the recall plus a blind guess among
    // five. A right answer, or a miss whose answer is shown, is learned.
    bool answer(int question, double t, double u, Reveal reveal);

    // The mean recall of all questions at time t.
    double score(double t) const;

    double stability(int question) const { return m_stability[static_cast<size_t>(question)]; }
    double learnedAt(int question) const { return m_learnedAt[static_cast<size_t>(question)]; }
    bool learned(int question) const { return m_learned[static_cast<size_t>(question)]; }
    int questionCount() const { return static_cast<int>(m_difficulty.size()); }

private:
    std::vector<double> m_difficulty;
    double m_growth = 2.0;
    std::vector<double> m_stability;
    std::vector<double> m_learnedAt;
    std::vector<bool> m_learned;
};

// A uniform value on [0, 1) from the top 53 bits, the same on every platform.
inline double unitDouble(std::mt19937_64& generator)
{
    return static_cast<double>(generator() >> 11) * (1.0 / 9007199254740992.0);
}

} // namespace montera::learner
