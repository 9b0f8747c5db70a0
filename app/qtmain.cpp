#include <QApplication>

#include "form1.h"
#include "host.h"
#include "qttoolkit.h"
#include "startupguard.h"

int main(int argc, char* argv[]) {
    // The game takes no arguments: Qt is handed the program's name alone, so that none of its
    // own options (-stylesheet FILE, -platform, ...) can change what the game does or reads.
    int toolkitArgc = argc > 0 ? 1 : 0;
    char* toolkitArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    zintu::beginGuardedStartup();
    QApplication application(toolkitArgc, toolkitArgv);
    zintu::endGuardedStartup();

    zintu::QtToolkit toolkit;
    zintu::Host host(toolkit);
    zintu::Form1 form(host);
    return host.run(form);
}
