// The File menu's list of recently used project files, most recent first.
#pragma once

#include <QString>
#include <array>

namespace vortn {

class TRecentFiles {
public:
    static constexpr int Capacity = 10;

    const QString& Name(int index) const { return names_[index]; }  // 0-based
    void SetName(int index, const QString& name) { names_[index] = name; }
    void Clear();
    // Number of non-empty entries, as last recounted.
    int Count() const { return count_; }
    void Recount();
    // Move-to-front: nothing when the name is already first; an entry
    // further down moves to the front and the ones above it move down one
    // place; a new name pushes every entry down and the tenth drops out.
    // Names compare exactly.
    void MoveToFront(const QString& name);
    // Menu caption of entry `index`: its number, a blank and the name, with
    // a leading `currentDir` + "/" taken off.
    QString Caption(int index, const QString& currentDir) const;

private:
    std::array<QString, Capacity> names_;
    int count_ = 0;
};

}  // namespace vortn
