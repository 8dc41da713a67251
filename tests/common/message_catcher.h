// Test side of the program's message boxes: a hook that collects the texts
// instead of showing modal boxes.
#pragma once

#include "message_box.h"

#include <QMessageBox>

namespace vortn::test {

// Adds the text of every information and error box to `texts` (a
// QStringList or std::vector<QString>); answers a question with `answer`.
template <class List>
TMessageHook CollectMessages(List& texts, int answer = QMessageBox::No) {
    return [&texts, answer](const TMessageRequest& r) {
        if (r.kind == TMessageKind::Question) return answer;
        texts.push_back(r.text);
        return int(QMessageBox::Ok);
    };
}

}  // namespace vortn::test
