#include "veltrane/model/NearestPairBuilder.h"

#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/model/Point.h"
#include "veltrane/model/PrecisionMngTable.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>
#include <utility>

namespace {

constexpr double kNoRadius = std::numeric_limits<double>::max();
// Steps between two questions whether the user cancelled.
constexpr int kCancelCheckSteps = 1000;

} // namespace

NearestPairBuilder::NearestPairBuilder(JIProgMsgBase *progress) : m_progress(progress) {}

NearestPairBuilder::~NearestPairBuilder() = default;

bool NearestPairBuilder::Create(const std::vector<const Point *> &points,
                                PrecisionMngTable *table) {
    const std::size_t n = points.size();
    m_x.resize(n);
    m_y.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Coordinate c = points[i]->GetTokyoDatum();
        m_x[i] = c.GetX();
        m_y[i] = c.GetY();
    }
    m_nodes.resize(n);
    std::iota(m_nodes.begin(), m_nodes.end(), 0);
    m_buffer.resize(n);
    m_best.assign(n, Candidate());
    m_stepCount = 0;
    m_sublistCount = 0;
    if (m_progress)
        m_progress->ProgressStart(std::max(2 * static_cast<int>(n) - 2, 0));

    bool ok = true;
    if (n >= 2) {
        ok = sortByY(0, n);
        if (ok)
            sortByXAndPair(0, n, &ok);
    }
    m_nodes = {};
    m_buffer = {};
    m_strip = {};

    if (ok) {
        // Each pair once, though both its ends may have found it.
        std::vector<std::pair<std::pair<int, int>, std::unique_ptr<PrecMngElm>>> pairs;
        for (int a = 0; a < static_cast<int>(n); ++a) {
            if (m_best[a].partner < 0)
                continue;
            int first = a, second = m_best[a].partner;
            auto pair = std::make_unique<PrecMngElm>(points[first], points[second]);
            if (pair->Normalize()) {
                std::swap(first, second);
            } else if (m_x[first] == m_x[second] && m_y[first] == m_y[second] && first > second) {
                pair->SwapPoint(); // coincident points: one order for both ends
                std::swap(first, second);
            }
            pairs.emplace_back(std::make_pair(first, second), std::move(pair));
        }
        std::sort(pairs.begin(), pairs.end(),
                  [](const auto &a, const auto &b) { return a.first < b.first; });
        for (std::size_t i = 0; i < pairs.size(); ++i)
            if (i == 0 || pairs[i].first != pairs[i - 1].first)
                table->Append(pairs[i].second.release());
    }
    m_x = {};
    m_y = {};
    m_best = {};
    if (m_progress)
        m_progress->ProgressEnd();
    return ok;
}

bool NearestPairBuilder::step() {
    if (++m_stepCount <= kCancelCheckSteps)
        return true;
    m_stepCount = 0;
    return m_progress == nullptr || !m_progress->CheckCancel();
}

bool NearestPairBuilder::sublistDone() {
    ++m_sublistCount;
    return m_progress == nullptr || m_progress->Progress(m_sublistCount);
}

bool NearestPairBuilder::merge(std::size_t first, std::size_t middle, std::size_t last,
                               const std::vector<double> &key) {
    bool ok = true;
    std::size_t i = first, j = middle, out = first;
    while (i < middle || j < last) {
        // On equal keys the node of the second run goes first.
        if (i == middle || (j < last && key[m_nodes[j]] <= key[m_nodes[i]]))
            m_buffer[out++] = m_nodes[j++];
        else
            m_buffer[out++] = m_nodes[i++];
        if (!step())
            ok = false; // the merge still finishes, so the list stays whole
    }
    std::copy(m_buffer.begin() + first, m_buffer.begin() + last, m_nodes.begin() + first);
    return ok;
}

bool NearestPairBuilder::sortByY(std::size_t first, std::size_t last) {
    if (last - first < 2)
        return true;
    const std::size_t middle = first + (last - first) / 2;
    return sortByY(first, middle) && sortByY(middle, last) && merge(first, middle, last, m_y) &&
           sublistDone();
}

void NearestPairBuilder::offer(int first, int second, double distance) {
    Candidate &c = m_best[first];
    if (c.partner < 0 || distance < c.distance) {
        c.partner = second;
        c.distance = distance;
    }
}

double NearestPairBuilder::sortByXAndPair(std::size_t first, std::size_t last, bool *ok) {
    if (last - first < 2)
        return kNoRadius;
    const std::size_t middle = first + (last - first) / 2;
    // Still in Y order here: the line between the halves.
    const double m = m_y[m_nodes[middle]];
    const double left = sortByXAndPair(first, middle, ok);
    if (!*ok)
        return 0.0;
    const double right = sortByXAndPair(middle, last, ok);
    if (!*ok)
        return 0.0;
    const double r = std::max(left, right);
    if (!merge(first, middle, last, m_x)) {
        *ok = false;
        return 0.0;
    }

    // A closer partner across the line lies within r of it and within r in X.
    m_strip.clear();
    std::size_t head = 0;
    for (std::size_t i = first; i < last; ++i) {
        const int a = m_nodes[i];
        if (!step()) {
            *ok = false;
            return 0.0;
        }
        while (head < m_strip.size() && m_x[a] - m_x[m_strip[head]] > r)
            ++head;
        if (std::fabs(m_y[a] - m) >= r)
            continue;
        for (std::size_t k = head; k < m_strip.size(); ++k) {
            const int b = m_strip[k];
            const double dx = m_x[a] - m_x[b], dy = m_y[a] - m_y[b];
            const double d = std::sqrt(dy * dy + dx * dx);
            offer(a, b, d);
            offer(b, a, d);
        }
        m_strip.push_back(a);
    }

    // Every node keeps the nearest partner of the halves or of the strip.
    double radius = 0.0;
    bool found = false;
    for (std::size_t i = first; i < last; ++i) {
        const Candidate &c = m_best[m_nodes[i]];
        if (c.partner >= 0) {
            found = true;
            radius = std::max(radius, c.distance);
        }
    }
    if (!sublistDone()) {
        *ok = false;
        return 0.0;
    }
    return found ? radius : kNoRadius;
}
