#include "messageanswerer.h"

#include <QApplication>
#include <QDateTime>
#include <QPushButton>
#include <QTest>

#include "messagebox.h"

namespace zintu::testing {

namespace {

constexpr int pollMs = 5;

}  // namespace

MessageAnswerer::MessageAnswerer(int holdMs) : holdMs_(holdMs) {
    connect(&poller_, &QTimer::timeout, this, &MessageAnswerer::poll);
    poller_.start(pollMs);
}

bool MessageAnswerer::waitForAnswers(int count, int timeoutMs) const {
    return QTest::qWaitFor([this, count] { return answered_ >= count; }, timeoutMs);
}

void MessageAnswerer::poll() {
    auto* box = qobject_cast<MessageBox*>(QApplication::activeModalWidget());
    if (!box) {
        return;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (box != open_) {
        open_ = box;
        openedAt_ = now;
        answeredOpen_ = false;
        texts_.append(box->text());
        if (onOpen_) {
            onOpen_(box);
        }
    }
    if (!answeredOpen_ && now - openedAt_ >= holdMs_) {
        answeredOpen_ = true;
        ++answered_;
        box->okButton()->click();
    }
}

}  // namespace zintu::testing
