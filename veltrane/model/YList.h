#pragma once

#include <new>
#include <utility>

// A circular singly linked ring of item pointers, reached through its tail node (the head is the
// tail's next node). The list never deletes its items: clearing and destruction free only the
// nodes, so the owner of the items deletes them first. Copies share the items.
// Positions count from the head, from 0. Only kind 0 (the plain ring) exists.
template <typename T, int Kind> class YList {
    static_assert(Kind == 0, "only the plain ring list is defined");

    struct Node {
        Node *next;
        T *item;
    };

  public:
    // Walks the items from the head; a const list still hands out its item pointers.
    class iterator {
      public:
        T *operator*() const { return m_node->item; }
        iterator &operator++() {
            m_node = m_node->next;
            --m_left;
            return *this;
        }
        bool operator==(const iterator &other) const { return m_left == other.m_left; }

      private:
        friend class YList;
        iterator(Node *node, unsigned left) : m_node(node), m_left(left) {}
        Node *m_node;
        unsigned m_left;
    };

    YList() = default;
    YList(const YList &other) {
        for (T *item : other)
            if (!Append(item)) {
                RemoveAll();
                throw std::bad_alloc();
            }
    }
    YList &operator=(const YList &other) {
        if (this != &other) {
            YList copy(other);
            swap(copy);
        }
        return *this;
    }
    virtual ~YList() { RemoveAll(); }

    unsigned GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    iterator begin() const { return iterator(m_tail ? m_tail->next : nullptr, m_count); }
    iterator end() const { return iterator(nullptr, 0); }

    // The new node becomes the tail; false (list unchanged) when it cannot be allocated.
    bool Append(T *item) {
        Node *node = linkAfterTail(item);
        if (node == nullptr)
            return false;
        m_tail = node;
        return true;
    }
    // The new node becomes the head; the tail stays unless the list was empty.
    bool InsertFront(T *item) { return linkAfterTail(item) != nullptr; }
    // pos == count appends; false when pos > count or no node can be allocated.
    bool InsertAt(unsigned pos, T *item) {
        if (pos > m_count)
            return false;
        if (pos == m_count)
            return Append(item);
        if (pos == 0)
            return InsertFront(item);
        Node *prev = nodeBefore(pos);
        Node *node = new (std::nothrow) Node{prev->next, item};
        if (node == nullptr)
            return false;
        prev->next = node;
        ++m_count;
        return true;
    }

    // Unlinks the node at n and hands back its item; null when n >= count.
    T *TakeOutAt(unsigned n) {
        if (n >= m_count)
            return nullptr;
        Node *prev = nodeBefore(n);
        Node *node = prev->next;
        if (m_count == 1) {
            m_tail = nullptr;
        } else {
            prev->next = node->next;
            if (node == m_tail)
                m_tail = prev;
        }
        --m_count;
        T *item = node->item;
        delete node;
        return item;
    }

    // The item at n; null when n >= count.
    T *GetAt(unsigned n) const { return n < m_count ? nodeBefore(n)->next->item : nullptr; }

    void RemoveAll() {
        while (m_count > 0)
            TakeOutAt(0);
    }

    void swap(YList &other) noexcept {
        std::swap(m_tail, other.m_tail);
        std::swap(m_count, other.m_count);
    }

  private:
    // The node before position n (the tail for n == 0); the list must not be empty.
    Node *nodeBefore(unsigned n) const {
        Node *prev = m_tail;
        for (unsigned i = 0; i < n; ++i)
            prev = prev->next;
        return prev;
    }

    // A new node between the tail and the head; null when it cannot be allocated.
    Node *linkAfterTail(T *item) {
        Node *node = new (std::nothrow) Node{nullptr, item};
        if (node == nullptr)
            return nullptr;
        if (m_tail == nullptr) {
            node->next = node;
            m_tail = node;
        } else {
            node->next = m_tail->next;
            m_tail->next = node;
        }
        ++m_count;
        return node;
    }

    Node *m_tail = nullptr;
    unsigned m_count = 0;
};
