// JDivisionString, the splitter that records where every field stood. The input
// layout is described in DivisionScript.h; bit 0 of the first byte turns the
// recording on. Each recorded span must start where the one before it ended (one
// past its delimiter) and stay inside the line; after the script the fields
// read whole must give back the line and match their spans.
#include "exchange/Dorrimet/JDivisionString.h"
#include "fuzz/DivisionScript.h"

namespace {

// Follows the recorded spans as the operations run.
class SpanChecker {
  public:
    SpanChecker(const JDivisionString &splitter, bool recording)
        : m_splitter(splitter), m_recording(recording) {}

    void after(int kind, int result) {
        const std::vector<JDivStrElmInfo> &spans = m_splitter.GetStrElmInfoVector();
        const auto length = static_cast<std::int32_t>(m_splitter.GetBufferStr().GetLength());
        switch (kind) {
        case OP_SET_STRING:
            // Even a refused line clears the spans; the old line and the
            // position in it stay.
            m_count = 0;
            if (result)
                m_nextStart = 0;
            break;
        case OP_REMOVE_STRING:
            m_count = 0;
            if (result) {
                m_nextStart = 0;
                FUZZ_CHECK(length == 0);
            }
            break;
        case OP_TO_TOP:
            if (result) {
                m_count = 0;
                m_nextStart = 0;
            }
            break;
        case OP_READ_STRING:
        case OP_READ_INT:
        case OP_READ_DOUBLE:
        case OP_READ_STRING_EX:
        case OP_READ_INT_EX:
        case OP_READ_DOUBLE_EX:
        case OP_SKIP:
            if (result && m_recording) {
                ++m_count;
                FUZZ_CHECK(spans.size() == m_count);
                const JDivStrElmInfo &span = spans.back();
                FUZZ_CHECK(span.start >= 0 && span.length >= 0);
                FUZZ_CHECK(span.start + span.length <= length);
                FUZZ_CHECK(span.start == m_nextStart);
                const std::int32_t end = span.start + span.length;
                m_nextStart = end < length ? end + 1 : end;
            }
            break;
        default:
            break;
        }
        FUZZ_CHECK(spans.size() == m_count);
    }

  private:
    const JDivisionString &m_splitter;
    bool m_recording;
    std::size_t m_count = 0;
    std::int32_t m_nextStart = 0;
};

// Reads every field again from the top and compares it with its span.
void checkFieldsMatchSpans(JDivisionString &splitter, int mode) {
    if (splitter.isnotUsed() || !splitter.toTop())
        return;
    const std::string buffer = splitter.GetBufferStr().Bytes();
    std::string field;
    while (ReadDivisionField(splitter, static_cast<unsigned>(buffer.size()), &field)) {
        const JDivStrElmInfo span = splitter.GetStrElmInfoVector().back();
        std::string_view text(buffer.data() + span.start, static_cast<std::size_t>(span.length));
        if (mode & 1) {
            while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
                text.remove_prefix(1);
        }
        if (mode & 2) {
            while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
                text.remove_suffix(1);
        }
        FUZZ_CHECK(field == text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    DivisionScript script;
    if (!script.Parse(data, size))
        return 0;
    JDivisionString splitter(script.capacity, script.mode);
    splitter.SetElmInfoFlag(script.flag);
    SpanChecker checker(splitter, script.flag);
    bool loaded = false;
    RunDivisionScript(splitter, script, [&](int kind, int result) {
        checker.after(kind, result);
        if (kind == OP_SET_STRING && result)
            loaded = true;
        else if (kind == OP_REMOVE_STRING && result)
            loaded = false;
    });
    if (!loaded)
        return 0;
    FUZZ_CHECK(splitter.GetBufferStr().Bytes() == script.line);
    CheckFieldsRebuildLine(splitter, script.line, script.capacity);
    splitter.SetElmInfoFlag(true);
    checkFieldsMatchSpans(splitter, splitter.getSpaceSkip());
    return 0;
}
