// ReadTextFile::readLine, the fgets-like line reader of the exchange files.
//
// Input: a byte giving the buffer size, then the file. The pieces read, in
// order, make the text as the readers take it (after a UTF-8 mark, in cp932);
// each is as long as fgets makes it: up to its line feed, never more than the
// buffer holds, a double-byte character never cut unless it alone would not
// fit. The reader ends where that text ends, naming the line that cannot be
// read into cp932 when that is why.
#include "exchange/Pomtrek/ReadTextFile.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>
#include <vector>

namespace {

// The length of the piece that starts at offset, for a buffer of size bytes.
std::size_t pieceLength(const std::string &text, std::size_t offset, unsigned size) {
    std::size_t n = 0;
    bool trail = false;
    while (n + 1 < size && offset + n < text.size()) {
        const auto c = static_cast<unsigned char>(text[offset + n]);
        if (!trail && CString::IsLeadByte(c) && n + 3 > size && n > 0)
            break;
        ++n;
        if (c == '\n')
            break;
        trail = !trail && CString::IsLeadByte(c);
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned bufferSize = data[0];
    const std::string_view raw(reinterpret_cast<const char *>(data) + 1, size - 1);
    const DecodedText decoded = DecodedTextContent(raw);
    const std::string &content = decoded.content;

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    const DescriptorGuard guard;
    {
        ReadTextFile reader(temp.Path());
        FUZZ_CHECK(reader.isUsed() && !reader.isnotUsed());
        FUZZ_CHECK(reader.readLine(nullptr, bufferSize) == 0);
        std::vector<char> buffer(bufferSize > 0 ? bufferSize : 1);
        if (bufferSize < 2) {
            // No room for a byte: nothing is taken.
            buffer[0] = 'x';
            reader.readLine(buffer.data(), bufferSize);
            FUZZ_CHECK(bufferSize == 0 || buffer[0] == '\0');
            FUZZ_CHECK(reader.GetStopLine() == 0);
        } else {
            std::size_t offset = 0;
            while (reader.readLine(buffer.data(), bufferSize)) {
                const std::size_t n = pieceLength(content, offset, bufferSize);
                FUZZ_CHECK(n > 0 && n < bufferSize);
                FUZZ_CHECK(std::memcmp(buffer.data(), content.data() + offset, n) == 0);
                FUZZ_CHECK(buffer[n] == '\0');
                offset += n;
            }
            FUZZ_CHECK(offset == content.size());
            FUZZ_CHECK(reader.stoppedAtUndecodableLine() == (decoded.stopLine > 0));
            FUZZ_CHECK(reader.GetStopLine() == decoded.stopLine);
        }
    }
    guard.Check();
    return 0;
}
