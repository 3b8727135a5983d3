#pragma once

#include "kernels/Lunmarg/ProgressMsgBase.h"
#include "kernels/Lunmarg/TMatrix.h"

#include <exception>

// Result of the code-returning operations.
enum LUErrType : int {
    LU_SUCCESS = 0,
    LU_SINGULAR = 1, // a row is all zeros, or a pivot is zero or not finite
    LU_BREAK = 2,    // cancelled through the progress callback
};

// LU factorisation by Crout's method with implicit row scaling and partial
// pivoting, solution with the factors, inversion and iterative improvement.
//
// The pivot vector is a column vector (n rows, at least one column) whose
// element j holds, as a whole number, the row swapped with row j.
//
// Misuse never reads or writes outside a matrix: a matrix that is not square,
// a pivot vector or right-hand side with too few rows or no column, a pivot
// element that is not a row index, a null parity pointer, or a result vector
// sharing storage with an input throws std::invalid_argument before anything
// is changed. Factors with a zero or non-finite diagonal element throw
// LUSingularException instead of yielding infinite or undefined values.
class LUMethod {
  public:
    class LUException : public std::exception {};
    class LUSingularException : public LUException {};
    class LUBreakException : public LUException {};

    static const double m_tiny; // 1e-20

    LUMethod();
    // The callback is not owned; null means no progress display.
    explicit LUMethod(ProgressMsgBase *pProgress);

    // Replaces a by its factors, fills the pivot vector and sets *d to +1 or
    // -1 by the parity of the row swaps. A singular matrix gives LU_SINGULAR:
    // without any progress call when a row is all zeros or holds a non-finite
    // element; when a pivot is found zero or not finite, after ProgressEnd and
    // with a left partly factored. A refusal of the callback gives LU_BREAK
    // after ProgressEnd, with a left partly factored.
    LUErrType LUDecompInPlace(TMatrix<double> &a, TMatrix<double> &indx, int *d) const;
    // Factors of a copy of a (a is unchanged); throws LUSingularException or
    // LUBreakException where LUDecompInPlace returns the code.
    TMatrix<double> LUDecompose(const TMatrix<double> &a, TMatrix<double> &indx, int *d) const;
    // Replaces b (a column vector) by the solution of a x = b, a being the
    // factors and indx their pivot vector.
    void LUBackSubst(const TMatrix<double> &a, const TMatrix<double> &indx,
                     TMatrix<double> &b) const;
    // The inverse of the matrix whose factors are given. Throws
    // LUBreakException when cancelled.
    TMatrix<double> LUInverse(const TMatrix<double> &a, const TMatrix<double> &indx) const;
    // The inverse of a. Throws LUSingularException or LUBreakException; the
    // progress bracket it opens is closed before either leaves.
    TMatrix<double> Inverse(const TMatrix<double> &a) const;
    // One step of iterative improvement of the solution x of a x = b, alu and
    // indx being the factors of a.
    void LUImprove(const TMatrix<double> &a, const TMatrix<double> &alu,
                   const TMatrix<double> &indx, const TMatrix<double> &b, TMatrix<double> &x) const;

  protected:
    LUErrType doLUDecompose(TMatrix<double> &a, TMatrix<double> &indx, int *d) const;
    // vv(i) = 1 / the largest absolute value of row i. False when a row is
    // all zeros or holds a non-finite element.
    bool scale(const TMatrix<double> &a, TMatrix<double> &vv) const;

  private:
    void ProgressStart(int total) const;
    bool Progress(int done) const;
    void ProgressEnd() const;

    ProgressMsgBase *m_pProgress;
};
