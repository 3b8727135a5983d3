#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// How the operating system spells the paths that entered the system, where their cp932 form
// alone cannot say it ("〜" U+301C and "～" U+FF5E are both 0x8160; a character cp932 lacks is
// '?'). A tree of cp932 path components from the root folder: a node keeps the native spelling
// of its component when that differs from the plain conversion of the cp932 form, the latest
// remembered winning. Safe to use from several threads.
class PathSpellings {
  public:
    // One component of a path: its cp932 form, its native bytes and whether the cp932 form
    // converts back to exactly those bytes.
    struct Component {
        std::string cp932;
        std::string native;
        bool exact = true;
    };

    // What is known of one component of a path looked up.
    struct Spelling {
        enum Kind {
            Plain,      // converted plainly from cp932
            Spelled,    // native holds its spelling
            LookAlikes, // several entries of one folder have this cp932 form: none can be told
        };
        Kind kind = Plain;
        std::string native;
        std::vector<std::string> lookAlikes; // their native spellings
    };

    static PathSpellings &Instance();

    // Remembers a path from the root: each component's spelling replaces the one remembered
    // for its cp932 form in that folder (and what was remembered inside it, if it differs).
    void Remember(const std::vector<Component> &path);
    // Remembers the entries of one folder as listed (folder from the root). Entries that share
    // a cp932 form with a different spelling are look-alikes.
    void RememberEntries(const std::vector<Component> &folder,
                         const std::vector<Component> &entries);
    // The spellings of the components keys (cp932, empty and "." left out by the caller) that
    // follow the folder start (from the root, which must be spelled as remembered for anything
    // below it to count). One result per key.
    std::vector<Spelling> Find(const std::vector<Component> &start,
                               const std::vector<std::string> &keys) const;
    // Nothing remembered (so every path converts plainly).
    bool IsEmpty() const;

  private:
    struct Node {
        Spelling spelling;
        std::map<std::string, std::unique_ptr<Node>> children;
    };

    // Remembers the path; its node, made where missing when keepLast, else null when there is
    // none.
    Node *remember(const std::vector<Component> &path, bool keepLast);
    // Gives child the spelling; what was remembered inside it goes when the spelling changes.
    static void respell(Node &child, const Spelling &spelling);

    mutable std::mutex m_mutex;
    Node m_root;
};
