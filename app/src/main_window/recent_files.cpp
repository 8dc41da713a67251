// Recent-file list of the File menu.
#include "recent_files.h"

namespace vortn {

void TRecentFiles::Clear() {
    for (auto& n : names_) n.clear();
    count_ = 0;
}

void TRecentFiles::Recount() {
    count_ = 0;
    for (const auto& n : names_)
        if (!n.isEmpty()) ++count_;
}

void TRecentFiles::MoveToFront(const QString& name) {
    if (names_[0] == name) return;
    int at = Capacity - 1;  // a new name: the last entry drops out
    for (int i = 1; i < Capacity; ++i)
        if (names_[i] == name) {
            at = i;
            break;
        }
    for (int i = at; i > 0; --i) names_[i] = names_[i - 1];
    names_[0] = name;
    Recount();
}

QString TRecentFiles::Caption(int index, const QString& currentDir) const {
    QString name = names_[index];
    QString prefix = currentDir;
    if (!prefix.endsWith(QLatin1Char('/'))) prefix += QLatin1Char('/');
    if (name.startsWith(prefix)) name = name.mid(prefix.size());
    return QString::number(index + 1) + QLatin1Char(' ') + name;
}

}  // namespace vortn
