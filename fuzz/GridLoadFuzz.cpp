// CGridCore::Load, the grid control's delimited text file reader, and Save with it.
//
// Input: a byte giving the separator, then the file. Loading never fails on an open file and
// leaves a rectangular table; with a usable separator, what Save writes loads back into the
// same texts.
#include "fuzz/FuzzSupport.h"
#include "pallomir/grid/tests/FakeGrid.h"

#include <algorithm>

namespace {

// Files whose tables would be larger than this are not tried: every line of the file becomes
// a row as wide as the first line, and a few kilobytes could ask for millions of cells.
constexpr std::size_t kMaxCells = 20000;

bool Rectangular(const CGridCore &grid) {
    for (int row = 0; row < grid.GetRowCount(); ++row)
        for (int col = 0; col < grid.GetColumnCount(); ++col)
            if (grid.GetCell(row, col) == nullptr)
                return false;
    return grid.GetRowCount() == 0 || grid.GetColumnCount() > 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const char separator = static_cast<char>(data[0]);
    const std::string_view raw(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::string content = TextModeContent(raw);
    const std::size_t lines =
        static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1;
    const std::size_t fields =
        static_cast<std::size_t>(std::count(content.begin(), content.end(), separator)) + 1;
    if (lines * fields > kMaxCells)
        return 0;

    FuzzFile &file = FuzzFile::Instance();
    file.Write(raw);
    const DescriptorGuard guard;
    {
        gridtest::FakeGrid grid;
        FUZZ_CHECK(grid.Load(file.Path(), separator));
        FUZZ_CHECK(Rectangular(grid));
        FUZZ_CHECK(grid.GetRowCount() <= static_cast<int>(lines));

        const bool usable = separator != '\0' && separator != '"' && separator != '\n' &&
                            separator != '\r' && separator != '\x1A';
        if (usable) {
            FUZZ_CHECK(grid.Save(file.Path(), separator));
            gridtest::FakeGrid again;
            FUZZ_CHECK(again.Load(file.Path(), separator));
            FUZZ_CHECK(again.GetRowCount() == grid.GetRowCount());
            FUZZ_CHECK(again.GetColumnCount() == grid.GetColumnCount());
            for (int row = 0; row < grid.GetRowCount(); ++row)
                for (int col = 0; col < grid.GetColumnCount(); ++col)
                    FUZZ_CHECK(again.GetItemText(row, col) == grid.GetItemText(row, col));
        }
    }
    guard.Check();
    return 0;
}
