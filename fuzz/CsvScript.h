#pragma once

#include "exchange/Pomtrek/ReadTextFile.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// The part shared by the targets of the two CSV readers.
//
// Input: a mode byte, eight script bytes and the file. On every line the
// script's operations run in order: byte % 8 picks the operation, byte / 8 * 9
// the field size of the text reads.

// The lines of the content, without their line feeds.
inline std::vector<std::string_view> SplitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        lines.push_back(content.substr(0, end));
        if (end == std::string_view::npos)
            break;
        content.remove_prefix(end + 1);
    }
    return lines;
}

// Reads one field of at most max bytes into a buffer of exactly max + 1
// bytes; 0 when there was none.
template <class Reader> int ReadField(Reader &reader, unsigned max) {
    std::vector<char> out(max + 1, 'x');
    const int result = reader.readString(max, out.data());
    if (result)
        FUZZ_CHECK(std::memchr(out.data(), '\0', out.size()) != nullptr);
    return result;
}

// Runs the script on every line of the text (DecodedTextContent of the file).
// readChecked performs the checked reads (operations 3 to 5) of the reader that
// has them and answers whether one found a field.
template <class Reader, class CheckedReads>
void RunCsvScript(Reader &reader, const DecodedText &text, const std::uint8_t *script,
                  CheckedReads readChecked) {
    const std::vector<std::string_view> lines = SplitLines(text.content);
    std::size_t lineIndex = 0;
    while (reader.startLine()) {
        FUZZ_CHECK(lineIndex < lines.size());
        const bool tooLong = lines[lineIndex].size() > ReadTextFile::LINE_LIMIT;
        const bool unusable = tooLong || lines[lineIndex].find('\0') != std::string_view::npos;
        FUZZ_CHECK(reader.isLineTooLong() == tooLong);
        FUZZ_CHECK(reader.isLineUnusable() == unusable);
        // An unusable line is named with its number and a reason.
        FUZZ_CHECK(reader.GetStopLine() == (unusable ? static_cast<int>(lineIndex + 1) : 0));
        FUZZ_CHECK(reader.GetStopReason().IsEmpty() == !unusable);
        for (int step = 0; step < 8; ++step) {
            const unsigned kind = script[step] % 8;
            const unsigned max = script[step] / 8 * 9;
            bool found = false;
            if (kind == 7)
                break;
            if (kind == 0 || kind == 6) {
                found = ReadField(reader, max);
            } else if (kind == 1) {
                int value = 0;
                found = reader.readInt(&value);
            } else if (kind == 2) {
                double value = 0.0;
                found = reader.readDouble(&value);
            } else {
                found = readChecked(reader, kind);
            }
            // A line over the limit or holding a NUL has no fields.
            FUZZ_CHECK(!(unusable && found));
        }
        FUZZ_CHECK(reader.endLine() == 1);
        FUZZ_CHECK(!ReadField(reader, 255));
        ++lineIndex;
    }
    FUZZ_CHECK(lineIndex == lines.size());
    FUZZ_CHECK(!reader.startLine());
    // A line that cannot be read into cp932 ends the reading and stays named.
    FUZZ_CHECK(reader.stoppedAtUndecodableLine() == (text.stopLine > 0));
    FUZZ_CHECK(reader.GetStopLine() == text.stopLine);
    FUZZ_CHECK(reader.GetStopReason().IsEmpty() == (text.stopLine == 0));
}
