// ReadTextFile::readLine, the fgets-like line reader of the exchange files.
//
// Input: a byte giving the buffer size, then the file. Every piece read must be
// the next piece of the file as text mode reads it, never longer than the
// buffer allows, and the reader must end where the content ends.
#include "exchange/Pomtrek/ReadTextFile.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>
#include <vector>

namespace {

// Lets the target see where the reader stands in its file.
class ProbedTextFile : public ReadTextFile {
  public:
    using ReadTextFile::ReadTextFile;
    std::uint64_t position() const { return m_file->GetPosition(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned bufferSize = data[0];
    const std::string_view raw(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::string content = TextModeContent(raw);
    const TextPositions positions(raw, true);

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    const DescriptorGuard guard;
    {
        ProbedTextFile reader(temp.Path());
        FUZZ_CHECK(reader.isUsed() && !reader.isnotUsed());
        FUZZ_CHECK(reader.readLine(nullptr, bufferSize) == 0);
        std::vector<char> buffer(bufferSize > 0 ? bufferSize : 1);
        if (bufferSize < 2) {
            // No room for a byte: nothing is taken.
            buffer[0] = 'x';
            reader.readLine(buffer.data(), bufferSize);
            FUZZ_CHECK(reader.position() == 0);
            FUZZ_CHECK(bufferSize == 0 || buffer[0] == '\0');
        } else {
            std::size_t offset = 0;
            while (reader.readLine(buffer.data(), bufferSize)) {
                const std::size_t next = positions.ContentOffset(reader.position());
                FUZZ_CHECK(next > offset);
                FUZZ_CHECK(next - offset < bufferSize);
                FUZZ_CHECK(std::memcmp(buffer.data(), content.data() + offset, next - offset) == 0);
                FUZZ_CHECK(buffer[next - offset] == '\0');
                const std::string_view piece(content.data() + offset, next - offset);
                const std::size_t lineEnd = piece.find('\n');
                FUZZ_CHECK(lineEnd == std::string_view::npos || lineEnd == piece.size() - 1);
                offset = next;
            }
            FUZZ_CHECK(offset == content.size());
        }
    }
    guard.Check();
    return 0;
}
