#pragma once

#include <cstddef>
#include <vector>

class JIProgMsgBase;
class Point;
class PrecisionMngTable;

// Pairs every point with its nearest neighbour in the Tokyo datum in O(N log N): the points are
// sorted by Y, then merge-sorted by X while each merge looks for closer partners across its
// dividing line. Each point looks only as far as its own nearest distance found so far, so a
// point far from the others does not widen the search of the rest.
class NearestPairBuilder {
  public:
    // The progress object may be null.
    explicit NearestPairBuilder(JIProgMsgBase *progress);
    NearestPairBuilder(const NearestPairBuilder &) = delete;
    NearestPairBuilder &operator=(const NearestPairBuilder &) = delete;
    virtual ~NearestPairBuilder();

    // Appends to the table, normalised, the pair of each point with its nearest neighbour (one
    // of them when several are as near), each pair once, ordered by the positions of their
    // first and then second points in points. Points whose Tokyo X or Y is not finite take no
    // part. False, with the table unchanged, when the user cancels.
    bool Create(const std::vector<const Point *> &points, PrecisionMngTable *table);

  private:
    struct Candidate {
        int partner = -1;
        double distance = 0.0;
    };
    // A point in the sort: its Tokyo coordinates, its index and, in the merge under way, whether
    // it comes from the second half.
    struct Node {
        double x;
        double y;
        int id;
        bool right;
    };

    bool sortByY(std::size_t first, std::size_t last);
    // Sorts the nodes by X and gives each its nearest partner in the sublist; false when the
    // user cancelled.
    bool sortByXAndPair(std::size_t first, std::size_t last);
    // Merges two sorted runs on the key; false when a cancel was met on the way.
    bool merge(std::size_t first, std::size_t middle, std::size_t last, double Node::*key);
    // One step of the work: every 1001st asks whether the user cancelled.
    bool step();
    bool sublistDone();
    // Whether a partner that far from a (in the plane or along one axis) could be nearer to a
    // than its partner so far.
    bool within(int a, double distance) const {
        return m_best[a].partner < 0 || distance < m_best[a].distance;
    }
    // Offers a and b to each other when b may be nearer to a than a's partner so far.
    void pair(const Node &a, const Node &b);
    void offer(int first, int second, double distance);

    JIProgMsgBase *m_progress;
    int m_stepCount = 0;
    int m_sublistCount = 0;
    std::vector<double> m_x;
    std::vector<double> m_y;
    std::vector<Node> m_nodes;
    std::vector<Node> m_buffer;
    std::vector<Candidate> m_best;
};
