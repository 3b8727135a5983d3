#include "veltrane/model/NearestPairBuilder.h"

#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/model/Point.h"
#include "veltrane/model/PrecisionMngTable.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Steps between two questions whether the user cancelled.
constexpr int kCancelCheckSteps = 1000;

} // namespace

NearestPairBuilder::NearestPairBuilder(JIProgMsgBase *progress) : m_progress(progress) {}

NearestPairBuilder::~NearestPairBuilder() = default;

bool NearestPairBuilder::Create(const std::vector<const Point *> &points,
                                PrecisionMngTable *table) {
    // A point without finite coordinates has no distance to compare; the search takes the
    // others, numbered in their order in points.
    std::vector<const Point *> taken;
    taken.reserve(points.size());
    m_x.clear();
    m_y.clear();
    for (const Point *p : points) {
        const Coordinate c = p->GetTokyoDatum();
        if (!std::isfinite(c.GetX()) || !std::isfinite(c.GetY()))
            continue;
        taken.push_back(p);
        m_x.push_back(c.GetX());
        m_y.push_back(c.GetY());
    }
    const std::size_t n = taken.size();
    m_nodes.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        m_nodes[i] = Node{m_x[i], m_y[i], static_cast<int>(i), false};
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
            ok = sortByXAndPair(0, n);
    }
    m_nodes = {};
    m_buffer = {};

    if (ok) {
        // Each pair once, though both its ends may have found it, in the order Normalize gives:
        // the smaller Tokyo Y first, on equal Y the smaller X; coincident points in table order.
        auto before = [this](int a, int b) {
            if (m_y[a] != m_y[b])
                return m_y[a] < m_y[b];
            return m_x[a] != m_x[b] ? m_x[a] < m_x[b] : a < b;
        };
        std::vector<std::pair<int, int>> pairs;
        pairs.reserve(n);
        for (int a = 0; a < static_cast<int>(n); ++a) {
            const int b = m_best[a].partner;
            if (b >= 0)
                pairs.push_back(before(a, b) ? std::make_pair(a, b) : std::make_pair(b, a));
        }
        std::sort(pairs.begin(), pairs.end());
        pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
        for (const auto &[first, second] : pairs)
            table->Append(new PrecMngElm(taken[first], taken[second]));
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
                               double Node::*key) {
    bool ok = true;
    std::size_t i = first, j = middle, out = first;
    while (i < middle || j < last) {
        // On equal keys the node of the second run goes first.
        if (i == middle || (j < last && m_nodes[j].*key <= m_nodes[i].*key))
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
    return sortByY(first, middle) && sortByY(middle, last) &&
           merge(first, middle, last, &Node::y) && sublistDone();
}

void NearestPairBuilder::offer(int first, int second, double distance) {
    Candidate &c = m_best[first];
    if (c.partner < 0 || distance < c.distance) {
        c.partner = second;
        c.distance = distance;
    }
}

bool NearestPairBuilder::sortByXAndPair(std::size_t first, std::size_t last) {
    if (last - first < 2)
        return true;
    const std::size_t middle = first + (last - first) / 2;
    // Still in Y order here: the line between the halves.
    const double m = m_nodes[middle].y;
    if (!sortByXAndPair(first, middle) || !sortByXAndPair(middle, last))
        return false;
    for (std::size_t i = first; i < last; ++i)
        m_nodes[i].right = i >= middle;
    if (!merge(first, middle, last, &Node::x))
        return false;

    // A point can have a closer partner across the line only within its own nearest distance
    // so far of the line, and that partner within the same distance of it. Each point searches
    // by its own distance, so that a far point costs only its own search.
    for (std::size_t i = first; i < last; ++i) {
        const Node &a = m_nodes[i];
        if (!step())
            return false;
        if (!within(a.id, std::fabs(a.y - m)))
            continue;
        for (std::size_t k = i + 1; k < last && within(a.id, m_nodes[k].x - a.x); ++k)
            if (m_nodes[k].right != a.right)
                pair(a, m_nodes[k]);
        for (std::size_t k = i; k > first && within(a.id, a.x - m_nodes[k - 1].x); --k)
            if (m_nodes[k - 1].right != a.right)
                pair(a, m_nodes[k - 1]);
    }
    return sublistDone();
}

void NearestPairBuilder::pair(const Node &a, const Node &b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    if (!within(a.id, std::fabs(dy)))
        return;
    const double d = std::sqrt(dy * dy + dx * dx);
    offer(a.id, b.id, d);
    offer(b.id, a.id, d);
}
