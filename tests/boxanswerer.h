#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zintu::testing {

// Answers every message box the game opens with OK, as a player would, after holding it open
// for a while; records what each box showed. Polls from a thread timer, which the boxes' own
// message loops run too.
class BoxAnswerer {
public:
    struct Box {
        std::wstring caption;
        std::wstring text;
        HWND owner;
        bool ownerDisabled;
    };

    explicit BoxAnswerer(int holdMs = 0);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    const std::vector<Box>& boxes() const { return boxes_; }
    std::vector<std::wstring> texts() const;
    bool boxOpen() const { return open_ != nullptr; }
    // Runs once for each box, as soon as it is seen open.
    void setOnOpen(std::function<void(HWND)> action) { onOpen_ = std::move(action); }

private:
    static void CALLBACK poll(HWND, UINT, UINT_PTR, DWORD);
    void check();

    static BoxAnswerer* current_;
    int holdMs_;
    UINT_PTR timer_;
    HWND open_ = nullptr;
    ULONGLONG openedAt_ = 0;
    bool answered_ = false;
    std::vector<Box> boxes_;
    std::function<void(HWND)> onOpen_;
};

// Runs the thread's messages for a while, or until `done` holds; returns whether it did.
void pumpFor(int ms);
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

}  // namespace zintu::testing
