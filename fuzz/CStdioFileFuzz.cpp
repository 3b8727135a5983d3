// The text line reader: both forms of CStdioFile::ReadString, mixed on one file.
//
// Input: a mode byte (bit 0 binary, bits 1-7 the size of the buffer the
// fgets-like form gets), a pattern byte (bit i % 8 set: read i with the CString
// form) and the file. Every piece read must be the next piece of what the mode
// makes of the file, the position must follow it, and the file must end where
// the content ends.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CStdioFile.h"

#include <cstring>
#include <vector>

namespace {

// True when the piece ends with the lead byte of a double-byte character whose
// trail byte is not in it.
bool endsInsideCharacter(std::string_view piece) {
    std::size_t i = 0;
    while (i < piece.size())
        i += CString::IsLeadByte(static_cast<unsigned char>(piece[i])) ? 2 : 1;
    return i > piece.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 2)
        return 0;
    const bool binary = data[0] & 1;
    const UINT maxCount = data[0] >> 1;
    const unsigned pattern = data[1];
    const std::string_view raw(reinterpret_cast<const char *>(data) + 2, size - 2);
    const std::string content = binary ? std::string(raw) : TextModeContent(raw);
    const TextPositions positions(raw, !binary);

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    const DescriptorGuard guard;
    {
        CStdioFile file(temp.Path(), CFile::modeRead | (binary ? CFile::typeBinary : 0));
        std::size_t offset = 0;
        std::uint64_t rawPos = 0;
        // A buffer of exactly maxCount bytes, so that a write past it is caught.
        std::vector<char> buffer(maxCount > 0 ? maxCount : 1);
        for (unsigned step = 0;; ++step) {
            const bool lineForm = ((pattern >> (step % 8)) & 1) || maxCount < 2;
            std::size_t next;
            if (lineForm) {
                CString line;
                if (!file.ReadString(line))
                    break;
                const std::string &bytes = line.Bytes();
                FUZZ_CHECK(content.compare(offset, bytes.size(), bytes) == 0);
                next = offset + bytes.size();
                FUZZ_CHECK(next == content.size() || content[next] == '\n');
                if (next < content.size())
                    ++next;
            } else {
                char *got = file.ReadString(buffer.data(), maxCount);
                if (!got)
                    break;
                FUZZ_CHECK(got == buffer.data());
                next = positions.ContentOffset(file.GetPosition());
                FUZZ_CHECK(next > offset);
                const std::string_view piece(content.data() + offset, next - offset);
                FUZZ_CHECK(piece.size() < maxCount);
                FUZZ_CHECK(std::memcmp(got, piece.data(), piece.size()) == 0);
                FUZZ_CHECK(got[piece.size()] == '\0');
                FUZZ_CHECK(piece.find('\n') == std::string_view::npos ||
                           piece.find('\n') == piece.size() - 1);
                // A full piece ends at a line end or before a character that
                // would not fit; it cuts a character in two only at the end of
                // the file or when one byte is all the buffer holds.
                if (maxCount > 2 && endsInsideCharacter(piece))
                    FUZZ_CHECK(next == content.size());
            }
            const std::uint64_t position = file.GetPosition();
            FUZZ_CHECK(position > rawPos);
            FUZZ_CHECK(positions.ContentOffset(position) == next);
            rawPos = position;
            offset = next;
        }
        FUZZ_CHECK(offset == content.size());
        // Reading on at the end stays at the end.
        CString line;
        FUZZ_CHECK(!file.ReadString(line));
        if (maxCount > 1)
            FUZZ_CHECK(file.ReadString(buffer.data(), maxCount) == nullptr);
    }
    guard.Check();
    return 0;
}
