#pragma once

#include <cstdint>
#include <sys/resource.h>

namespace testsupport {

// Cuts the writes of the whole process at a file size: while it lives no file may grow past
// `bytes` (RLIMIT_FSIZE), and a write beyond that fails with EFBIG instead of raising SIGXFSZ.
// The limit and the signal's handling are put back when it goes.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();

    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

  private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace testsupport
