#pragma once

namespace zintu {

// Qt reports an unreachable display with a few warnings and then aborts. Between these two calls
// the player gets one clear line and exit status 1 instead; other start-up messages are passed
// on once the application is up.
void beginGuardedStartup();
void endGuardedStartup();

}  // namespace zintu
