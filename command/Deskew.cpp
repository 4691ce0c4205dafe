#include "command/Deskew.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "command/SharedWork.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

constexpr double kStep = 0.1;
constexpr double kLimit = 5.0;
constexpr const char* kNoMemory = "Not enough memory to search the skew of the picture";

}  // namespace

std::vector<double> SkewCandidates() {
    std::vector<double> candidates{0.0};
    for (double offset = -kStep; std::fabs(offset) < kLimit; offset -= kStep) candidates.push_back(offset);
    for (double offset = kStep; std::fabs(offset) < kLimit; offset += kStep) candidates.push_back(offset);
    return candidates;
}

int64_t ProfileScore(const TRowProfile& profile) {
    int64_t largest = 0;
    for (int64_t p : profile) largest = std::max(largest, p);
    std::vector<int64_t> q(profile);
    if (largest != 0)
        for (int64_t& p : q) p = int64_t(double(p) / double(largest) * 1000.0);
    int64_t score = 0;
    for (size_t y = 0; y + 1 < q.size(); ++y) score += (q[y + 1] - q[y]) * (q[y + 1] - q[y]);
    return score;
}

size_t BestCandidate(const std::vector<int64_t>& scores) {
    size_t best = 0;
    int64_t bestScore = 0;
    for (size_t i = 0; i < scores.size(); ++i)
        if (scores[i] > bestScore) {
            best = i;
            bestScore = scores[i];
        }
    return best;
}

std::vector<int64_t> SkewScores(const TBitmap& picture) {
    try {
        const std::vector<double> candidates = SkewCandidates();
        const TRotatedRowProfiler profiler(picture);
        // A candidate costs about |sin a|: handing out the steep ones first
        // lets the two threads finish together.
        std::vector<size_t> order(candidates.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return std::fabs(candidates[a]) > std::fabs(candidates[b]); });
        std::vector<int64_t> scores(candidates.size());
        ShareAcrossTwoThreads(order.size(), [&](size_t k) {
            const size_t i = order[k];
            scores[i] = ProfileScore(profiler.Profile(candidates[i]));
        });
        return scores;
    } catch (const std::bad_alloc&) {
        throw EVellomarError(kNoMemory);
    }
}

std::vector<int64_t> SkewScoresReference(const TBitmap& picture) {
    try {
        std::vector<int64_t> scores;
        for (double angle : SkewCandidates())
            scores.push_back(ProfileScore(RowProfileByRotation(picture, angle)));
        return scores;
    } catch (const std::bad_alloc&) {
        throw EVellomarError(kNoMemory);
    }
}

double FindSkewAngle(const TBitmap& picture) { return SkewCandidates()[BestCandidate(SkewScores(picture))]; }

double FindSkewAngleReference(const TBitmap& picture) {
    return SkewCandidates()[BestCandidate(SkewScoresReference(picture))];
}

}  // namespace vellomar
