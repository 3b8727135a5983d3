#include "veltrane/model/InsyoRelate.h"

#include <memory>
#include <new>

bool InsyoRelateElm::IsSame(const CString &pointName, const Coordinate &c) const {
    return name.Compare(pointName) == 0 && coord.GetX() == c.GetX() && coord.GetY() == c.GetY();
}

InsyoRelate::InsyoRelate(const InsyoRelate &other) : m_insyoName(other.m_insyoName) {
    try {
        for (const InsyoRelateElm *e : other.m_elms)
            if (e != nullptr && !append(new InsyoRelateElm(*e)))
                throw std::bad_alloc();
    } catch (...) {
        remove();
        throw;
    }
}

InsyoRelate &InsyoRelate::operator=(const InsyoRelate &other) {
    if (this != &other) {
        InsyoRelate copy(other);
        m_insyoName = copy.m_insyoName;
        m_elms.swap(copy.m_elms);
    }
    return *this;
}

InsyoRelate::~InsyoRelate() { remove(); }

InsyoRelate *InsyoRelate::clone() const {
    try {
        return new InsyoRelate(*this);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

int InsyoRelate::setInsyoName(const CString &name) {
    m_insyoName = name;
    return 1;
}

int InsyoRelate::setAt(unsigned n, const CString &name, const Coordinate &c) {
    InsyoRelateElm *e = m_elms.GetAt(n);
    if (e == nullptr)
        return 0;
    e->name = name;
    e->coord = c;
    return 1;
}

int InsyoRelate::append(const CString &name, const Coordinate &c) {
    return insertAt(m_elms.GetCount(), name, c);
}

int InsyoRelate::append(InsyoRelateElm *e) {
    std::unique_ptr<InsyoRelateElm> owned(e);
    if (owned == nullptr || !m_elms.Append(owned.get()))
        return 0;
    owned.release();
    return 1;
}

int InsyoRelate::insertAt(unsigned n, const CString &name, const Coordinate &c) {
    if (n > m_elms.GetCount())
        return 0;
    std::unique_ptr<InsyoRelateElm> e(new (std::nothrow) InsyoRelateElm(name, c));
    if (e == nullptr || !m_elms.InsertAt(n, e.get()))
        return 0;
    e.release();
    return 1;
}

int InsyoRelate::remove(unsigned n) {
    if (n >= m_elms.GetCount())
        return 0;
    delete m_elms.TakeOutAt(n);
    return 1;
}

int InsyoRelate::removeLast() { return m_elms.IsEmpty() ? 0 : remove(m_elms.GetCount() - 1); }

int InsyoRelate::remove() {
    for (InsyoRelateElm *e : m_elms)
        delete e;
    m_elms.RemoveAll();
    return 1;
}

int InsyoRelate::IsExistRelateName(const CString &name, const Coordinate &c,
                                   unsigned *index) const {
    unsigned i = 0;
    for (const InsyoRelateElm *e : m_elms) {
        if (e != nullptr && e->IsSame(name, c)) {
            if (index != nullptr)
                *index = i;
            return 1;
        }
        ++i;
    }
    return 0;
}

InsyoRelateList::InsyoRelateList(const InsyoRelateList &other) { deepCopy(other); }

InsyoRelateList &InsyoRelateList::operator=(const InsyoRelateList &other) {
    if (this != &other) {
        InsyoRelateList copy(other);
        m_relates.swap(copy.m_relates);
    }
    return *this;
}

InsyoRelateList::~InsyoRelateList() { remove(); }

void InsyoRelateList::deepCopy(const InsyoRelateList &other) {
    try {
        for (const InsyoRelate *r : other.m_relates)
            if (r != nullptr && !append(*r))
                throw std::bad_alloc();
    } catch (...) {
        remove();
        throw;
    }
}

int InsyoRelateList::set(unsigned n, const InsyoRelate &r) {
    InsyoRelate *target = m_relates.GetAt(n);
    if (target == nullptr)
        return 0;
    try {
        *target = r;
    } catch (const std::bad_alloc &) {
        return 0;
    }
    return 1;
}

int InsyoRelateList::append(const InsyoRelate &r) { return insert(m_relates.GetCount(), r); }

int InsyoRelateList::insert(unsigned n, const InsyoRelate &r) {
    if (n > m_relates.GetCount())
        return 0;
    std::unique_ptr<InsyoRelate> copy(r.clone());
    if (copy == nullptr || !m_relates.InsertAt(n, copy.get()))
        return 0;
    copy.release();
    return 1;
}

int InsyoRelateList::remove(unsigned n) {
    if (n >= m_relates.GetCount())
        return 0;
    delete m_relates.TakeOutAt(n);
    return 1;
}

int InsyoRelateList::remove() {
    for (InsyoRelate *r : m_relates)
        delete r;
    m_relates.RemoveAll();
    return 1;
}
