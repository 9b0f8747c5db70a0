#include "messages.h"

#include "runtime.h"

namespace zintu::messages {

std::string levelCaption(int level) {
    return "Level:" + formatNumber(level);
}

std::string readyForLevel(int nextLevel) {
    return "Ready for level" + formatNumber(nextLevel) + "?";
}

std::string rating(int level) {
    const std::string n = formatNumber(level);
    if (level < 5) {
        return "You got to level" + n + ". You should practice more.";
    }
    if (level < 10) {
        return "You reached level" + n + ". That's good, but you should try again.";
    }
    if (level < 20) {
        return "You achieved level" + n + "! That's really good!";
    }
    return "Wow! Level" + n + " is really hard to get to!";
}

}  // namespace zintu::messages
