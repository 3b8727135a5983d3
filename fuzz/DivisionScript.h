#pragma once

#include "exchange/Pomtrek/DivisionString.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// The part shared by the targets of the line splitters.
//
// Input:
//   byte 0     bit 0 chooses the class (target-specific), bits 1-2 the blank
//              mode, bit 3 the string mode, bit 4 replaces the ',' delimiter
//              with the bytes 2-5
//   byte 1     the capacity
//   bytes 2-5  delimiters (0xFF: none)
//   byte 6     the number n of operations (n % 33)
//   2 n bytes  operations: a kind byte and a parameter byte
//   the rest   the line
struct DivisionScript {
    bool flag = false;
    int mode = 0;
    int stringMode = 0;
    unsigned capacity = 0;
    bool replacePauses = false;
    std::vector<unsigned char> pauses;
    std::vector<std::pair<unsigned char, unsigned char>> operations;
    std::string line; // up to its first NUL, as setString takes it

    // False when the input is too short for the header.
    bool Parse(const std::uint8_t *data, std::size_t size) {
        if (size < 7)
            return false;
        flag = data[0] & 1;
        mode = (data[0] >> 1) & 3;
        stringMode = (data[0] >> 3) & 1;
        replacePauses = (data[0] >> 4) & 1;
        capacity = data[1];
        for (int i = 2; i < 6; ++i) {
            if (data[i] != 0xFF)
                pauses.push_back(data[i]);
        }
        std::size_t count = data[6] % 33;
        std::size_t at = 7;
        for (; count > 0 && at + 1 < size; --count, at += 2)
            operations.emplace_back(data[at], data[at + 1]);
        const std::string_view rest(reinterpret_cast<const char *>(data) + at, size - at);
        line = std::string(rest.substr(0, rest.find('\0')));
        return true;
    }
};

// The operations of a script, by kind % 14.
enum DivisionOperation {
    OP_READ_STRING,
    OP_READ_INT,
    OP_READ_DOUBLE,
    OP_READ_STRING_EX,
    OP_READ_INT_EX,
    OP_READ_DOUBLE_EX,
    OP_SKIP,
    OP_TO_TOP,
    OP_ADD_PAUSE,
    OP_SUS_PAUSE,
    OP_REMOVE_PAUSE,
    OP_SET_STRING,
    OP_REMOVE_STRING,
    OP_SET_SPACE_SKIP,
    OP_COUNT
};

// Reads one field of at most max bytes into a buffer of exactly max + 1 bytes.
inline int ReadDivisionField(DivisionString &splitter, unsigned max, std::string *field = nullptr) {
    std::vector<char> out(max + 1, 'x');
    const int result = splitter.readString(max, out.data());
    if (result) {
        const std::size_t length = strnlen(out.data(), out.size());
        FUZZ_CHECK(length <= max);
        if (field)
            field->assign(out.data(), length);
    }
    return result;
}

// Applies the script's set-up and operations; after(kind, result) sees each
// operation's kind and result.
template <class After>
void RunDivisionScript(DivisionString &splitter, const DivisionScript &script, After after) {
    if (script.replacePauses) {
        splitter.removePause();
        for (unsigned char c : script.pauses)
            FUZZ_CHECK(splitter.addPause(static_cast<char>(c)) == 1);
    }
    after(OP_SET_STRING, splitter.setString(script.line.c_str()));
    for (const auto &[kindByte, param] : script.operations) {
        const int kind = kindByte % OP_COUNT;
        int result = 0;
        switch (kind) {
        case OP_READ_STRING:
            result = ReadDivisionField(splitter, param);
            break;
        case OP_READ_INT: {
            int value = 0;
            result = splitter.readInt(&value);
            break;
        }
        case OP_READ_DOUBLE: {
            double value = 0.0;
            result = splitter.readDouble(&value);
            break;
        }
        case OP_READ_STRING_EX: {
            CString text("unchanged");
            const DIV_ERROR error = splitter.readStringEx(&text);
            FUZZ_CHECK(error == DIV_OK || error == DIV_EMPTY || error == DIV_NOFIELD);
            FUZZ_CHECK(error == DIV_NOFIELD ? text == "unchanged"
                                            : text.IsEmpty() == (error == DIV_EMPTY));
            result = error != DIV_NOFIELD;
            break;
        }
        case OP_READ_INT_EX: {
            int value = 12345;
            const DIV_ERROR error = splitter.readIntEx(&value);
            FUZZ_CHECK(error == DIV_OK || value == 12345);
            result = error != DIV_NOFIELD;
            break;
        }
        case OP_READ_DOUBLE_EX: {
            double value = 12345.0;
            const DIV_ERROR error = splitter.readDoubleEx(&value);
            FUZZ_CHECK(error == DIV_OK || value == 12345.0);
            result = error != DIV_NOFIELD;
            break;
        }
        case OP_SKIP:
            result = splitter.skip();
            break;
        case OP_TO_TOP:
            result = splitter.toTop();
            break;
        case OP_ADD_PAUSE: {
            const unsigned before = splitter.PaiseCount();
            result = splitter.addPause(static_cast<char>(param));
            FUZZ_CHECK(result == 1 || before == 4);
            FUZZ_CHECK(splitter.PaiseCount() <= 4);
            break;
        }
        case OP_SUS_PAUSE:
            result = splitter.susPause(static_cast<char>(param));
            break;
        case OP_REMOVE_PAUSE:
            result = splitter.removePause();
            FUZZ_CHECK(splitter.PaiseCount() == 0 && splitter.isnotUsed());
            break;
        case OP_SET_STRING:
            result = splitter.setString(script.line.c_str());
            FUZZ_CHECK(result == (script.line.size() <= script.capacity));
            break;
        case OP_REMOVE_STRING:
            result = splitter.removeString();
            break;
        default:
            result = splitter.setSpaseSkip(param % 4);
            break;
        }
        after(kind, result);
    }
}

// After a fresh start with no blank handling, the fields read whole and the
// characters that ended them give back the line. Leaves the splitter at the
// end of its line.
inline void CheckFieldsRebuildLine(DivisionString &splitter, std::string_view line,
                                   unsigned capacity) {
    if (splitter.isnotUsed() || !splitter.toTop())
        return;
    const int savedMode = splitter.getSpaceSkip();
    splitter.setSpaseSkip(0);
    std::size_t pos = 0;
    std::string field;
    while (ReadDivisionField(splitter, capacity, &field)) {
        FUZZ_CHECK(line.compare(pos, field.size(), field) == 0);
        pos += field.size();
        if (pos < line.size()) {
            const char end = line[pos];
            bool isPause = end == '\n';
            for (unsigned i = 0; i < splitter.PaiseCount(); ++i)
                isPause = isPause || splitter.getPause(i) == end;
            FUZZ_CHECK(isPause);
            ++pos;
        }
    }
    FUZZ_CHECK(pos == line.size());
    splitter.setSpaseSkip(savedMode);
}
