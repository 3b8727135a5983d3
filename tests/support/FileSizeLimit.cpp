#include "tests/support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <csignal>

namespace testsupport {

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    if (::getrlimit(RLIMIT_FSIZE, &m_saved) != 0)
        ADD_FAILURE() << "getrlimit";
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit cut = m_saved;
    cut.rlim_cur = static_cast<rlim_t>(bytes);
    if (::setrlimit(RLIMIT_FSIZE, &cut) != 0)
        ADD_FAILURE() << "setrlimit " << bytes;
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_handler);
}

} // namespace testsupport
