#include "form1.h"
#include "host.h"
#include "webtoolkit.h"

// The page reads nothing but itself: no URL parameters, no storage.
int main() {
    zintu::WebToolkit toolkit;
    zintu::Host host(toolkit);
    zintu::Form1 form(host);
    return host.run(form);
}
