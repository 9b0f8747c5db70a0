#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "design.h"
#include "headlessruntime.h"
#include "host.h"
#include "recordinggame.h"

namespace zintu {
namespace {

using testing::HeadlessRuntime;
using testing::HeadlessToolkit;
using testing::RecordingGame;

struct WrongCall {
    const char* what;
    // Brings the host into the state in which the call is wrong.
    std::function<void(HeadlessRuntime&, RecordingGame&)> before;
    std::function<void(Host&)> call;
};

void started(HeadlessRuntime& runtime, RecordingGame& game) {
    runtime.start(game);
}

void startedWithPadZeroOnly(HeadlessRuntime& runtime, RecordingGame& game) {
    game.setOnLoad([](int) {});
    runtime.start(game);
}

void unloaded(HeadlessRuntime& runtime, RecordingGame& game) {
    runtime.start(game);
    runtime.unloadForm();
}

void ended(HeadlessRuntime& runtime, RecordingGame& game) {
    runtime.start(game);
    runtime.end();
}

void notStarted(HeadlessRuntime&, RecordingGame&) {}

const WrongCall wrongCalls[] = {
    {"a pad before the program started", notStarted,
     [](Host& host) { host.setBackColor(0, design::litColour); }},
    {"a box before the program started", notStarted, [](Host& host) { host.msgBox("GO!"); }},
    {"a pad outside the Press array", started, [](Host& host) { (void)host.backColor(4); }},
    {"a negative pad", started, [](Host& host) { host.setPadEnabled(-1, true); }},
    {"a pad not loaded yet", startedWithPadZeroOnly,
     [](Host& host) { host.setBackColor(2, design::litColour); }},
    {"a pad not loaded yet, moved", startedWithPadZeroOnly,
     [](Host& host) { host.movePad(3, 0, 1000); }},
    {"a pad loaded twice", started, [](Host& host) { host.loadPad(1); }},
    {"pad 0 loaded, which the design holds", startedWithPadZeroOnly,
     [](Host& host) { host.loadPad(0); }},
    {"a pad loaded beyond the Press array", startedWithPadZeroOnly,
     [](Host& host) { host.loadPad(4); }},
    {"a pad of an unloaded form", unloaded, [](Host& host) { (void)host.backColor(0); }},
    {"the label of an unloaded form", unloaded,
     [](Host& host) { host.setScoreCaption("Level: 2"); }},
    {"the timer of an unloaded form", unloaded, [](Host& host) { host.setLightUpEnabled(true); }},
    {"a box after the end", ended, [](Host& host) { host.msgBox("GO!"); }},
    {"a draw after the end", ended, [](Host& host) { (void)host.rnd(); }},
    {"a second end", ended, [](Host& host) { host.end(); }},
    {"a show after the end", ended, [](Host& host) { host.showForm(); }},
};

class IllegalCalls : public ::testing::TestWithParam<WrongCall> {};

TEST_P(IllegalCalls, areRefusedAtTheFaultyCall) {
    HeadlessRuntime runtime;
    RecordingGame game(runtime);
    GetParam().before(runtime, game);
    EXPECT_THROW(GetParam().call(runtime), IllegalCall) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, IllegalCalls, ::testing::ValuesIn(wrongCalls));

// In the program an illegal call ends the game with a message, whichever toolkit runs it.
class HeadlessProgram : public HeadlessToolkit, public Host {
public:
    HeadlessProgram() : HeadlessToolkit(1), Host(static_cast<Toolkit&>(*this)) {}
};

// Starts the timer at load, and lights a pad it never loaded at the first tick.
class FaultyGame : public FormEvents {
public:
    explicit FaultyGame(Runtime& runtime) : runtime_(runtime) {}

    void Form_Load() override { runtime_.setLightUpEnabled(true); }
    void LightUp_Timer() override {
        ++ticks;
        runtime_.setBackColor(3, design::litColour);
    }
    void Press_MouseDown(PadIndex) override {}
    void Press_MouseUp(PadIndex) override {}
    void Press_Click(PadIndex) override {}

    int ticks = 0;

private:
    Runtime& runtime_;
};

TEST(IllegalCallInTheProgram, endsTheGameWithAnErrorBoxAndAFailureStatusNeverACrash) {
    HeadlessProgram program;
    FaultyGame game(program);
    program.start(game);

    program.advance(3 * design::lightUpIntervalMs);

    ASSERT_EQ(program.messages().size(), 1u);
    const std::string& box = program.messages()[0];
    EXPECT_EQ(box.rfind(design::internalErrorMessage, 0), 0u) << box;
    EXPECT_NE(box.find("setBackColor on pad 3"), std::string::npos) << box;
    EXPECT_EQ(program.messagesWithoutWindow(), 1);
    EXPECT_EQ(game.ticks, 1);
    EXPECT_TRUE(program.ended());
    EXPECT_FALSE(program.visible());
    EXPECT_TRUE(program.quit());
    EXPECT_EQ(program.quitStatus(), Host::failureStatus);
    EXPECT_EQ(program.exitStatus(), Host::failureStatus);
}

}  // namespace
}  // namespace zintu
