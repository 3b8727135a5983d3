#include "pallomir/ui/VersionText.h"

#include <string_view>

namespace {

// The number between dots without its leading zeros.
std::string_view significant(std::string_view part) {
    const std::size_t first = part.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : part.substr(first);
}

// Whole numbers of any length given as digits.
int compareNumbers(std::string_view a, std::string_view b) {
    a = significant(a);
    b = significant(b);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

} // namespace

bool IsVersionText(const CString &text) {
    if (text.IsEmpty())
        return false;
    for (const char c : text.Bytes()) {
        if ((c < '0' || c > '9') && c != '.')
            return false;
    }
    return true;
}

int CompareVersionText(const CString &a, const CString &b) {
    std::string_view restA(a.Bytes());
    std::string_view restB(b.Bytes());
    while (!restA.empty() && !restB.empty()) {
        const std::size_t dotA = restA.find('.');
        const std::size_t dotB = restB.find('.');
        const int order = compareNumbers(restA.substr(0, dotA), restB.substr(0, dotB));
        if (order != 0)
            return order;
        restA = dotA == std::string_view::npos ? std::string_view() : restA.substr(dotA + 1);
        restB = dotB == std::string_view::npos ? std::string_view() : restB.substr(dotB + 1);
        // "1." goes on after its dot, "1" does not.
        if ((dotA == std::string_view::npos) != (dotB == std::string_view::npos))
            return dotA == std::string_view::npos ? -1 : 1;
    }
    if (restA.empty() != restB.empty())
        return restA.empty() ? -1 : 1;
    const int text = a.Compare(b);
    return text < 0 ? -1 : text > 0 ? 1 : 0;
}
