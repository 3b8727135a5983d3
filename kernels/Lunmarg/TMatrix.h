#pragma once

#include <cstdint>
#include <new>
#include <stdexcept>

// Thrown (as a copy of m_nomem) when matrix storage cannot be had.
class MatrixException : public std::bad_alloc {
  public:
    // "bad allocation"
    const char *what() const noexcept override;
};

// The one instance every storage failure throws a copy of.
extern const MatrixException m_nomem;

// Dense matrix with shared storage. Copies share the elements and a change
// made through one copy is seen by all (there is no copy-on-write); the
// storage is freed when its last holder goes. A column vector is a matrix of
// n rows and one column.
template <class T> class TMatrix {
  public:
    // rows x cols elements, every one set to fill. Negative sizes, 2^30 rows
    // or more, 2^29 columns or more and failed allocations throw a copy of
    // m_nomem after releasing what was allocated.
    TMatrix(int rows, int cols, const T &fill);
    // The n x n identity; the text is "I".
    TMatrix(const char *text, int n);
    TMatrix(const TMatrix &other);
    // Shares the source's storage; returns a copy of itself.
    TMatrix operator=(const TMatrix &other);
    ~TMatrix();

    // Element (row, col), both from 0; outside the matrix throws
    // std::out_of_range.
    T &operator()(int row, int col);
    const T &operator()(int row, int col) const;

    int GetRows() const { return m_rep->nRows; }
    int GetCols() const { return m_rep->nCols; }

  private:
    struct Rep {
        T **rows;
        std::int32_t nRows;
        std::int32_t nCols;
        std::int32_t nRefs;
    };

    static Rep *Allocate(int rows, int cols);
    static void Free(Rep *rep);
    void Release();
    T &At(int row, int col) const;

    Rep *m_rep;
};

template <class T> typename TMatrix<T>::Rep *TMatrix<T>::Allocate(int rows, int cols) {
    if (rows < 0 || cols < 0 || rows >= (1 << 30) || cols >= (1 << 29))
        throw MatrixException(m_nomem);
    Rep *rep = new (std::nothrow) Rep{nullptr, rows, cols, 1};
    if (rep == nullptr)
        throw MatrixException(m_nomem);
    rep->rows = new (std::nothrow) T *[rows]();
    if (rep->rows == nullptr) {
        Free(rep);
        throw MatrixException(m_nomem);
    }
    for (int i = 0; i < rows; ++i) {
        rep->rows[i] = new (std::nothrow) T[cols];
        if (rep->rows[i] == nullptr) {
            Free(rep);
            throw MatrixException(m_nomem);
        }
    }
    return rep;
}

// Frees every row, the row table and the representation; rows not yet
// allocated are null.
template <class T> void TMatrix<T>::Free(Rep *rep) {
    if (rep->rows != nullptr) {
        for (int i = 0; i < rep->nRows; ++i) {
            delete[] rep->rows[i];
            rep->rows[i] = nullptr;
        }
        delete[] rep->rows;
        rep->rows = nullptr;
    }
    delete rep;
}

template <class T> void TMatrix<T>::Release() {
    if (--m_rep->nRefs == 0)
        Free(m_rep);
    m_rep = nullptr;
}

template <class T>
TMatrix<T>::TMatrix(int rows, int cols, const T &fill) : m_rep(Allocate(rows, cols)) {
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            m_rep->rows[i][j] = fill;
}

template <class T> TMatrix<T>::TMatrix(const char *, int n) : m_rep(Allocate(n, n)) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            m_rep->rows[i][j] = i == j ? T(1) : T(0);
}

template <class T> TMatrix<T>::TMatrix(const TMatrix &other) : m_rep(other.m_rep) {
    ++m_rep->nRefs;
}

template <class T> TMatrix<T> TMatrix<T>::operator=(const TMatrix &other) {
    if (&other != this) {
        Rep *source = other.m_rep;
        ++source->nRefs; // before the release, in case both share it
        Release();
        m_rep = source;
    }
    return *this;
}

template <class T> TMatrix<T>::~TMatrix() { Release(); }

template <class T> T &TMatrix<T>::At(int row, int col) const {
    if (row < 0 || row >= m_rep->nRows || col < 0 || col >= m_rep->nCols)
        throw std::out_of_range("matrix element outside the matrix");
    return m_rep->rows[row][col];
}

template <class T> T &TMatrix<T>::operator()(int row, int col) { return At(row, col); }

template <class T> const T &TMatrix<T>::operator()(int row, int col) const { return At(row, col); }

// Storage is allocated and freed inside the library only.
extern template class TMatrix<double>;
