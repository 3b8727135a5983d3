#include "fuzz/FuzzSupport.h"

#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/TextEncoding.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

void FuzzFail(const char *file, int line, const char *condition) {
    std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, condition);
    std::abort();
}

FuzzFile &FuzzFile::Instance() {
    static FuzzFile file("zentrova-fuzz");
    return file;
}

FuzzFile &FuzzFile::Output() {
    static FuzzFile file("zentrova-fuzz-output");
    return file;
}

std::string FuzzFile::Read() const {
    std::string bytes;
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(m_fd, buffer, sizeof buffer, offset);
        if (n < 0) {
            std::perror("pread");
            std::abort();
        }
        if (n == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
}

FuzzFile::FuzzFile(const char *name) {
    m_fd = ::memfd_create(name, MFD_CLOEXEC);
    if (m_fd < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    m_path = CString(("/proc/self/fd/" + std::to_string(m_fd)).c_str());
}

void FuzzFile::Write(const std::uint8_t *data, std::size_t size) {
    Write(std::string_view(reinterpret_cast<const char *>(data), size));
}

void FuzzFile::Write(std::string_view bytes) {
    if (::ftruncate(m_fd, 0) != 0) {
        std::perror("ftruncate");
        std::abort();
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n <= 0) {
            std::perror("pwrite");
            std::abort();
        }
        done += static_cast<std::size_t>(n);
    }
}

std::string ArchiveBytes(const std::function<void(CArchive &)> &write) {
    FuzzFile &out = FuzzFile::Output();
    {
        CFile file(out.Path(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
        file.Close();
    }
    return out.Read();
}

namespace {

// The lowest descriptor number that is free now.
int lowestFreeDescriptor() {
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::perror("/dev/null");
        std::abort();
    }
    ::close(fd);
    return fd;
}

} // namespace

DescriptorGuard::DescriptorGuard() : m_lowestFree(lowestFreeDescriptor()) {}

void DescriptorGuard::Check() const { FUZZ_CHECK(lowestFreeDescriptor() == m_lowestFree); }

std::string TextModeContent(std::string_view bytes) {
    const std::size_t end = bytes.find('\x1A');
    if (end != std::string_view::npos)
        bytes = bytes.substr(0, end);
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        text.push_back(bytes[i] == '\r' ? '\n' : bytes[i]);
    }
    return text;
}

DecodedText DecodedTextContent(std::string_view raw, bool nulStops) {
    std::string text = TextModeContent(raw);
    TextEncodingDetector detector;
    detector.Feed(text);
    if (detector.HasMark())
        text.erase(0, TextEncodingDetector::MARK.size());
    DecodedText decoded;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        CString line(rest.substr(0, end));
        ++decoded.lines;
        if (DecodeTextLine(detector.GetEncoding(), line) != TextLineFault::None ||
            (nulStops && line.Bytes().find('\0') != std::string::npos)) {
            decoded.stopLine = static_cast<int>(decoded.lines);
            break;
        }
        decoded.content += line.Bytes();
        if (end == std::string_view::npos)
            break;
        decoded.content += '\n';
        rest.remove_prefix(end + 1);
    }
    return decoded;
}

bool ReadsBackAsWritten(std::string_view bytes) {
    TextEncodingDetector detector;
    detector.Feed(TextModeContent(bytes));
    return detector.GetEncoding() == TextEncoding::Cp932 && DecodedTextContent(bytes).stopLine == 0;
}

TextPositions::TextPositions(std::string_view raw, bool text)
    : m_raw(raw), m_text(text), m_pairs(raw.size() + 1) {
    for (std::size_t i = 0; i < raw.size(); ++i)
        m_pairs[i + 1] = m_pairs[i] + (i > 0 && raw[i - 1] == '\r' && raw[i] == '\n');
    m_end = text ? std::min(raw.find('\x1A'), raw.size()) : raw.size();
}

std::size_t TextPositions::ContentOffset(std::uint64_t rawPos) const {
    FUZZ_CHECK(rawPos <= m_end);
    if (!m_text)
        return rawPos;
    FUZZ_CHECK(!(rawPos > 0 && m_raw[rawPos - 1] == '\r' && rawPos < m_raw.size() &&
                 m_raw[rawPos] == '\n'));
    return rawPos - m_pairs[rawPos];
}
