#pragma once

#include <cstddef>
#include <vector>

class JIProgMsgBase;
class Point;
class PrecisionMngTable;

// Pairs every point with its nearest neighbour in the Tokyo datum in O(N log N): the points are
// sorted by Y, then merge-sorted by X while each merge looks for closer partners across its
// dividing line, within the largest nearest distance found in either half.
class NearestPairBuilder {
  public:
    // The progress object may be null.
    explicit NearestPairBuilder(JIProgMsgBase *progress);
    NearestPairBuilder(const NearestPairBuilder &) = delete;
    NearestPairBuilder &operator=(const NearestPairBuilder &) = delete;
    virtual ~NearestPairBuilder();

    // Appends to the table, normalised, the pair of each point with its nearest neighbour (one
    // of them when several are as near), each pair once, ordered by the positions of their
    // first and then second points in points. False, with the table unchanged, when the user
    // cancels.
    bool Create(const std::vector<const Point *> &points, PrecisionMngTable *table);

  private:
    struct Candidate {
        int partner = -1;
        double distance = 0.0;
    };

    bool sortByY(std::size_t first, std::size_t last);
    // Sorts the nodes by X and returns the search radius of the sublist; false in *ok when the
    // user cancelled.
    double sortByXAndPair(std::size_t first, std::size_t last, bool *ok);
    // Merges two sorted runs on the key; false when a cancel was met on the way.
    bool merge(std::size_t first, std::size_t middle, std::size_t last,
               const std::vector<double> &key);
    // One step of the work: every 1001st asks whether the user cancelled.
    bool step();
    bool sublistDone();
    void offer(int first, int second, double distance);

    JIProgMsgBase *m_progress;
    int m_stepCount = 0;
    int m_sublistCount = 0;
    std::vector<double> m_x;
    std::vector<double> m_y;
    std::vector<int> m_nodes;
    std::vector<int> m_buffer;
    std::vector<int> m_strip;
    std::vector<Candidate> m_best;
};
