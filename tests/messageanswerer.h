#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "messagebox.h"

namespace zintu::testing {

// Answers every message box the game opens with its OK button, as a player would, after holding
// it open for a while; records each box's text.
class MessageAnswerer : public QObject {
    Q_OBJECT

public:
    explicit MessageAnswerer(int holdMs = 0);

    const QStringList& texts() const { return texts_; }
    bool boxOpen() const { return !open_.isNull() && !answeredOpen_; }
    // Runs once for each box, as soon as it is seen open.
    void setOnOpen(std::function<void(MessageBox*)> action) { onOpen_ = std::move(action); }

    // Waits until `count` boxes have been answered; false on time-out.
    bool waitForAnswers(int count, int timeoutMs = 5000) const;

private:
    void poll();

    int holdMs_;
    QTimer poller_;
    QPointer<MessageBox> open_;
    qint64 openedAt_ = 0;
    bool answeredOpen_ = false;
    QStringList texts_;
    int answered_ = 0;
    std::function<void(MessageBox*)> onOpen_;
};

}  // namespace zintu::testing
