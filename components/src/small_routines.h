// Small helpers the components rest on: 1-based string helpers, the require
// family, integer helpers, rounding, and the owning object list.
#pragma once

#include "exceptions.h"

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace vortn {

// Common base of the objects held in owning lists (cells, columns, tables,
// row objects of sub-table columns).
class TObject {
public:
    virtual ~TObject() = default;
};

// --- string helpers (positions are 1-based) ---
QChar CharAt(const QString& s, int i);                     // QChar(0) outside 1..length
QString Tail(const QString& s, int i);                     // from i to the end
int PosFrom(const QString& sub, const QString& s, int i);  // first occurrence at i or later, 0 if none
int PosOr(const QString& sub, const QString& s, int d);    // position, or d when absent
int PosOrEnd(const QString& sub, const QString& s);        // position, or length + 1
QString ReplaceAll(const QString& s, const QString& oldText, const QString& newText);
bool IsWholeNumber(long double x);

// --- require family: raises E (EAssertionFailed when not given) ---
template <class E = EAssertionFailed>
void RaiseIf(bool cond, const QString& msg) {
    if (cond) throw E(msg);
}
template <class E = EAssertionFailed>
void Require(bool cond, const QString& msg) {
    if (!cond) throw E(msg);
}
// The format is a QString with %1, %2, ... markers, filled one argument at
// a time by QString::arg.
template <class... Args>
QString FormatArgs(const QString& fmt, const Args&... args) {
    QString m = fmt;
    ((m = m.arg(args)), ...);
    return m;
}
template <class E = EAssertionFailed, class... Args>
void RaiseIfFmt(bool cond, const QString& fmt, const Args&... args) {
    if (cond) throw E(FormatArgs(fmt, args...));
}
template <class E = EAssertionFailed, class... Args>
void RequireFmt(bool cond, const QString& fmt, const Args&... args) {
    if (!cond) throw E(FormatArgs(fmt, args...));
}

// --- integer helpers ---
inline int Iif(bool flag, int a, int b) { return flag ? a : b; }
inline int Min(int a, int b) { return a < b ? a : b; }
inline int Max(int a, int b) { return a > b ? a : b; }
int MinOf(const std::vector<int>& values);  // values must not be empty
inline bool InRange(int x, int lo, int hi) { return lo <= x && x <= hi; }
// Nearest 64-bit integer, halves to the even neighbour. Raises EInvalidOp
// for NaN, infinities and values outside the 64-bit range.
int64_t Round(long double x);

// --- owning list ---
// Frees an item when it is deleted, replaced or cleared, and every item
// (last to first) when the list dies, while OwnsObjects is set.
template <class T = TObject>
class TObjectList {
public:
    explicit TObjectList(bool ownsObjects = true) : ownsObjects_(ownsObjects) {}
    ~TObjectList() { Clear(); }
    TObjectList(const TObjectList&) = delete;
    TObjectList& operator=(const TObjectList&) = delete;

    bool OwnsObjects() const { return ownsObjects_; }
    void SetOwnsObjects(bool owns) { ownsObjects_ = owns; }

    int Add(T* item) {
        items_.push_back(item);
        return int(items_.size()) - 1;
    }
    void Insert(int index, T* item) {
        if (index < 0 || index > Count()) RaiseListIndexError(index);
        items_.insert(items_.begin() + index, item);
    }
    void Delete(int index) {
        Check(index);
        T* item = items_[index];
        items_.erase(items_.begin() + index);
        if (ownsObjects_) delete item;
    }
    // Removes the item without freeing it and hands it to the caller.
    T* Extract(int index) {
        Check(index);
        T* item = items_[index];
        items_.erase(items_.begin() + index);
        return item;
    }
    void Clear() {
        while (!items_.empty()) {
            T* item = items_.back();
            items_.pop_back();
            if (ownsObjects_) delete item;
        }
    }
    int Count() const { return int(items_.size()); }
    T* Items(int index) const {
        Check(index);
        return items_[index];
    }
    T* operator[](int index) const { return Items(index); }
    int IndexOf(const T* item) const {
        for (int i = 0; i < Count(); ++i)
            if (items_[i] == item) return i;
        return -1;
    }
    void Put(int index, T* item) {
        Check(index);
        T* old = items_[index];
        items_[index] = item;
        if (ownsObjects_ && old != item) delete old;
    }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    void Check(int index) const {
        if (index < 0 || index >= Count()) RaiseListIndexError(index);
    }
    std::vector<T*> items_;
    bool ownsObjects_;
};

// Frees every item from the last to the first, then the list; nothing for none.
template <class T>
void FreeListAndItems(std::vector<T*>* list) {
    if (!list) return;
    for (auto it = list->rbegin(); it != list->rend(); ++it) delete *it;
    delete list;
}

}  // namespace vortn
