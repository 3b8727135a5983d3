#include "kernels/Lunmarg/TMatrix.h"

const char *MatrixException::what() const noexcept { return "bad allocation"; }

const MatrixException m_nomem{};

template class TMatrix<double>;
