#pragma once

// Shared by the program's resource script and the code that loads the resources.
#define ZINTU_ICON 1
#define ZINTU_LABEL_FONT 101
