#include "waylanddecorations.h"

#include <wayland-client.h>

#include <cstdint>
#include <cstring>

namespace zintu {

namespace {

constexpr char decorationManager[] = "zxdg_decoration_manager_v1";

void announced(void* offered, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
    if (std::strcmp(interface, decorationManager) == 0) {
        *static_cast<bool*>(offered) = true;
    }
}

void withdrawn(void*, wl_registry*, std::uint32_t) {}

}  // namespace

bool compositorDecoratesWindows() {
    // A connection of its own, for one look at what the compositor offers: Qt's is not public
    // in this version.
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        return false;
    }
    bool offered = false;
    const wl_registry_listener listener{announced, withdrawn};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &offered);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
}

}  // namespace zintu
