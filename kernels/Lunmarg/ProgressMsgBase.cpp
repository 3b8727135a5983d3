#include "kernels/Lunmarg/ProgressMsgBase.h"

ProgressMsgBase::ProgressMsgBase() : m_nValue(0) {}

ProgressMsgBase::~ProgressMsgBase() = default;
