#include "platform/core/PathSpellings.h"

#include <algorithm>

namespace {

bool sameSpelling(const PathSpellings::Spelling &a, const PathSpellings::Spelling &b) {
    return a.kind == b.kind && a.native == b.native && a.lookAlikes == b.lookAlikes;
}

PathSpellings::Spelling spellingOf(const PathSpellings::Component &component) {
    PathSpellings::Spelling spelling;
    if (!component.exact) {
        spelling.kind = PathSpellings::Spelling::Spelled;
        spelling.native = component.native;
    }
    return spelling;
}

} // namespace

PathSpellings &PathSpellings::Instance() {
    static PathSpellings spellings;
    return spellings;
}

void PathSpellings::respell(Node &child, const Spelling &spelling) {
    if (sameSpelling(child.spelling, spelling))
        return;
    // Names remembered inside belong to the folder spelled the old way.
    child.spelling = spelling;
    child.children.clear();
}

PathSpellings::Node *PathSpellings::remember(const std::vector<Component> &path, bool keepLast) {
    // Nodes are made down to the last component whose spelling must be kept; below that,
    // only nodes that exist are spelled again.
    std::size_t needed = keepLast ? path.size() : 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (!path[i].exact)
            needed = std::max(needed, i + 1);
    }
    Node *node = &m_root;
    for (std::size_t i = 0; i < path.size(); ++i) {
        auto it = node->children.find(path[i].cp932);
        if (it == node->children.end()) {
            if (i >= needed)
                return nullptr;
            it = node->children.emplace(path[i].cp932, std::make_unique<Node>()).first;
        }
        Node *child = it->second.get();
        respell(*child, spellingOf(path[i]));
        node = child;
    }
    return node;
}

void PathSpellings::Remember(const std::vector<Component> &path) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    remember(path, false);
}

void PathSpellings::RememberEntries(const std::vector<Component> &folder,
                                    const std::vector<Component> &entries) {
    // The spellings met under each cp932 name.
    std::map<std::string, std::map<std::string, const Component *>> byName;
    for (const Component &entry : entries)
        byName[entry.cp932].emplace(entry.native, &entry);
    const bool keep = std::any_of(byName.begin(), byName.end(), [](const auto &name) {
        return name.second.size() > 1 || !name.second.begin()->second->exact;
    });

    const std::lock_guard<std::mutex> lock(m_mutex);
    Node *node = remember(folder, keep);
    if (node == nullptr)
        return;
    for (const auto &[name, spellings] : byName) {
        Spelling spelling = spellingOf(*spellings.begin()->second);
        if (spellings.size() > 1) {
            spelling.kind = Spelling::LookAlikes;
            spelling.native.clear();
            for (const auto &[native, entry] : spellings)
                spelling.lookAlikes.push_back(native);
        }
        auto it = node->children.find(name);
        if (it == node->children.end()) {
            if (spelling.kind == Spelling::Plain)
                continue;
            it = node->children.emplace(name, std::make_unique<Node>()).first;
        }
        respell(*it->second, spelling);
    }
}

std::vector<PathSpellings::Spelling>
PathSpellings::Find(const std::vector<Component> &start,
                    const std::vector<std::string> &keys) const {
    std::vector<Spelling> found(keys.size());
    const std::lock_guard<std::mutex> lock(m_mutex);
    const Node *node = &m_root;
    for (const Component &component : start) {
        const auto it = node->children.find(component.cp932);
        // A folder spelled otherwise than remembered: nothing below it is known.
        if (it == node->children.end() ||
            !sameSpelling(it->second->spelling, spellingOf(component)))
            return found;
        node = it->second.get();
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto it = node->children.find(keys[i]);
        if (it == node->children.end())
            break;
        node = it->second.get();
        found[i] = node->spelling;
        if (node->spelling.kind == Spelling::LookAlikes)
            break;
    }
    return found;
}

bool PathSpellings::IsEmpty() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_root.children.empty();
}
