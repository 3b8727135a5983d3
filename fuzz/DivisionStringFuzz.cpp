// The delimited-string splitters DivisionString and DivisionStringEx (bit 0 of
// the first byte picks the latter). The input layout is described in
// DivisionScript.h. After the script, the plain splitter's fields and the
// characters that ended them must give back the line.
#include "exchange/Pomtrek/DivisionString.h"
#include "fuzz/DivisionScript.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    DivisionScript script;
    if (!script.Parse(data, size))
        return 0;
    const bool quoted = script.flag;
    std::unique_ptr<DivisionString> splitter;
    if (quoted)
        splitter =
            std::make_unique<DivisionStringEx>(script.capacity, script.mode, script.stringMode);
    else
        splitter = std::make_unique<DivisionString>(script.capacity, script.mode);

    bool loaded = false;
    RunDivisionScript(*splitter, script, [&](int kind, int result) {
        if (kind == OP_SET_STRING && result)
            loaded = true;
        else if (kind == OP_REMOVE_STRING && result)
            loaded = false;
    });
    if (loaded && !quoted)
        CheckFieldsRebuildLine(*splitter, script.line, script.capacity);
    return 0;
}
