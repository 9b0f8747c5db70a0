#include "startupguard.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace zintu {

namespace {

constexpr int noDisplayExitStatus = 1;

QtMessageHandler previousHandler = nullptr;

struct HeldMessage {
    QtMsgType type;
    QString text;
};

std::vector<HeldMessage>& heldMessages() {
    static std::vector<HeldMessage> messages;
    return messages;
}

void holdStartupMessage(QtMsgType type, const QMessageLogContext& /*context*/,
                        const QString& text) {
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        std::fprintf(stderr,
                     "zintu: cannot open a window: no display reachable (DISPLAY=%s); run it on a "
                     "desktop, or headless with: xvfb-run zintu\n",
                     display.isEmpty() ? "unset" : display.constData());
        std::_Exit(noDisplayExitStatus);
    }
    heldMessages().push_back({type, text});
}

}  // namespace

void beginGuardedStartup() {
    previousHandler = qInstallMessageHandler(holdStartupMessage);
}

void endGuardedStartup() {
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& message : std::exchange(heldMessages(), {})) {
        qt_message_output(message.type, QMessageLogContext(), message.text);
    }
}

}  // namespace zintu
