#pragma once

#include <cstddef>
#include <emmintrin.h>

// The weights by which a conversion spreads what its basis points know: 1 / max(d, 0.0001) for
// the plane distance d = sqrt(dx * dx + dy * dy) between (x, y) and a node (a Node has members x
// and y). They are computed two nodes at a time, each exactly as the scalar formula gives it (a
// NaN distance stays NaN), and handed to take(node, weight) node by node in order, so that sums
// taken there come out as a plain loop over the nodes gives them.
template <class Node, class Take>
inline void ForEachInverseDistanceWeight(double x, double y, const Node *nodes, std::size_t n,
                                         Take &&take) {
    const __m128d px = _mm_set1_pd(x), py = _mm_set1_pd(y);
    const __m128d floor = _mm_set1_pd(0.0001), one = _mm_set1_pd(1.0);
    for (std::size_t j = 0; j < n; j += 2) {
        const Node &a = nodes[j];
        const Node &b = nodes[j + 1 < n ? j + 1 : j];
        const __m128d dx = _mm_sub_pd(_mm_set_pd(b.x, a.x), px);
        const __m128d dy = _mm_sub_pd(_mm_set_pd(b.y, a.y), py);
        const __m128d d = _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(dx, dx), _mm_mul_pd(dy, dy)));
        // max(floor, d) keeps a NaN distance, as the scalar comparison does.
        alignas(16) double w[2];
        _mm_store_pd(w, _mm_div_pd(one, _mm_max_pd(floor, d)));
        take(a, w[0]);
        if (j + 1 < n)
            take(b, w[1]);
    }
}
