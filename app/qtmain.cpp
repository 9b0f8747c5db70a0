#include <QApplication>

#include "form1.h"
#include "qtruntime.h"
#include "startupguard.h"

int main(int argc, char* argv[]) {
    zintu::beginGuardedStartup();
    QApplication application(argc, argv);
    zintu::endGuardedStartup();

    zintu::QtRuntime runtime;
    zintu::Form1 form(runtime);
    return runtime.run(form);
}
