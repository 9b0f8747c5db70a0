#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "design.h"
#include "headlessruntime.h"
#include "host.h"
#include "recordinggame.h"

namespace zintu {
namespace {

using testing::HeadlessRuntime;
using testing::HeadlessToolkit;
using testing::RecordingGame;

// The host over the headless toolkit, for tests that make illegal calls on purpose.
class HeadlessProgram : public HeadlessToolkit, public Host {
public:
    HeadlessProgram() : HeadlessToolkit(1), Host(*this, *this) {}
};

struct WrongCall {
    const char* what;
    // Brings the host into the state in which the call is wrong.
    std::function<void(HeadlessProgram&, RecordingGame&)> before;
    std::function<void(Host&)> call;
    const char* operation;
    const char* message;
};

void started(HeadlessProgram& program, RecordingGame& game) {
    program.start(game);
}

void startedWithPadZeroOnly(HeadlessProgram& program, RecordingGame& game) {
    game.setOnLoad([](int) {});
    program.start(game);
}

void unloaded(HeadlessProgram& program, RecordingGame& game) {
    program.start(game);
    program.unloadForm();
}

void ended(HeadlessProgram& program, RecordingGame& game) {
    program.start(game);
    program.end();
}

void notStarted(HeadlessProgram&, RecordingGame&) {}

const WrongCall wrongCalls[] = {
    {"a pad before the program started", notStarted,
     [](Host& host) { host.setBackColor(0, design::litColour); }, "setBackColor",
     "setBackColor before the program started"},
    {"a box before the program started", notStarted, [](Host& host) { host.msgBox("GO!"); },
     "msgBox", "msgBox before the program started"},
    {"a pad outside the Press array", started, [](Host& host) { (void)host.backColor(4); },
     "backColor", "backColor on pad 4, which is not loaded"},
    {"a negative pad", started, [](Host& host) { host.setPadEnabled(-1, true); }, "setPadEnabled",
     "setPadEnabled on pad -1, which is not loaded"},
    {"a pad not loaded yet", startedWithPadZeroOnly,
     [](Host& host) { host.setBackColor(2, design::litColour); }, "setBackColor",
     "setBackColor on pad 2, which is not loaded"},
    {"a pad not loaded yet, moved", startedWithPadZeroOnly,
     [](Host& host) { host.movePad(3, 0, 1000); }, "movePad",
     "movePad on pad 3, which is not loaded"},
    {"a pad loaded twice", started, [](Host& host) { host.loadPad(1); }, "loadPad",
     "loadPad on pad 1, which is loaded already"},
    {"pad 0 loaded, which the design holds", startedWithPadZeroOnly,
     [](Host& host) { host.loadPad(0); }, "loadPad", "loadPad on pad 0, which is loaded already"},
    {"a pad loaded beyond the Press array", startedWithPadZeroOnly,
     [](Host& host) { host.loadPad(4); }, "loadPad", "loadPad on pad 4, outside the Press array"},
    {"a pad of an unloaded form", unloaded, [](Host& host) { (void)host.backColor(0); },
     "backColor", "backColor while the form is not loaded"},
    {"the label of an unloaded form", unloaded,
     [](Host& host) { host.setScoreCaption("Level: 2"); }, "setScoreCaption",
     "setScoreCaption while the form is not loaded"},
    {"the timer of an unloaded form", unloaded, [](Host& host) { host.setLightUpEnabled(true); },
     "setLightUpEnabled", "setLightUpEnabled while the form is not loaded"},
    {"a box after the end", ended, [](Host& host) { host.msgBox("GO!"); }, "msgBox",
     "msgBox after the program ended"},
    {"a draw after the end", ended, [](Host& host) { (void)host.rnd(); }, "rnd",
     "rnd after the program ended"},
    {"a second end", ended, [](Host& host) { host.end(); }, "end", "end after the program ended"},
    {"a show after the end", ended, [](Host& host) { host.showForm(); }, "showForm",
     "showForm after the program ended"},
};

class IllegalCalls : public ::testing::TestWithParam<WrongCall> {};

TEST_P(IllegalCalls, areRecordedAtTheFaultyCallAndRefusedWithoutAnEffect) {
    const WrongCall& wrong = GetParam();
    HeadlessProgram program;
    RecordingGame game(program);
    wrong.before(program, game);
    const std::size_t boxes = program.messages().size();
    const int draws = program.draws();
    const int quitStatus = program.quitStatus();

    wrong.call(program);

    ASSERT_TRUE(program.illegalCall()) << wrong.what;
    EXPECT_EQ(program.illegalCall()->operation, wrong.operation);
    EXPECT_EQ(program.illegalCall()->message, wrong.message);
    EXPECT_EQ(program.messages().size(), boxes) << wrong.what;
    EXPECT_EQ(program.draws(), draws) << wrong.what;
    EXPECT_EQ(program.quitStatus(), quitStatus) << wrong.what;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, IllegalCalls, ::testing::ValuesIn(wrongCalls));

// Starts the timer at load. At the first tick it lights a pad it never loaded, then goes on as
// if nothing happened: a box, a caption, a draw.
class FaultyGame : public FormEvents {
public:
    explicit FaultyGame(Runtime& runtime) : runtime_(runtime) {}

    void Form_Load() override { runtime_.setLightUpEnabled(true); }
    void LightUp_Timer() override {
        ++ticks;
        runtime_.setBackColor(3, design::litColour);
        runtime_.msgBox("GO!");
        runtime_.setScoreCaption("Level: 2");
        (void)runtime_.rnd();
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

    ASSERT_TRUE(program.illegalCall());
    EXPECT_EQ(program.illegalCall()->message, "setBackColor on pad 3, which is not loaded");
    ASSERT_EQ(program.messages().size(), 1u);
    const std::string& box = program.messages()[0];
    EXPECT_EQ(box.rfind(design::internalErrorMessage, 0), 0u) << box;
    EXPECT_NE(box.find(program.illegalCall()->message), std::string::npos) << box;
    EXPECT_EQ(program.scoreCaption(), design::scoreCaption);
    EXPECT_EQ(program.draws(), 0);
    EXPECT_EQ(program.messagesWithoutWindow(), 1);
    EXPECT_EQ(game.ticks, 1);
    EXPECT_TRUE(program.ended());
    EXPECT_FALSE(program.visible());
    EXPECT_TRUE(program.quit());
    EXPECT_EQ(program.quitStatus(), Host::failureStatus);
    EXPECT_EQ(program.exitStatus(), Host::failureStatus);
}

// Reloads the form from a click's own handler, as a level-up does, and runs the timer on every
// form. In the new form's load, still inside that handler, the old form's controls report once:
// its beat, and a click on the pad whose handler is running.
class ReloadOnClick : public FormEvents {
public:
    explicit ReloadOnClick(HeadlessRuntime& runtime) : runtime_(runtime) {}

    void Form_Load() override {
        loadcolors(runtime_);
        runtime_.setLightUpEnabled(true);
        if (unloaded_ && !reported_) {
            reported_ = true;
            runtime_.tickFrom(*unloaded_);
            runtime_.clickFrom(*unloaded_, 0);
        }
    }
    void LightUp_Timer() override {}
    void Press_MouseDown(PadIndex) override {}
    void Press_MouseUp(PadIndex) override {}
    void Press_Click(PadIndex) override {
        unloaded_ = runtime_.latestForm();
        runtime_.unloadForm();
        runtime_.showForm();
    }

private:
    HeadlessRuntime& runtime_;
    const ToolkitForm* unloaded_ = nullptr;
    bool reported_ = false;
};

TEST(UnloadedForm, reportsNothingToTheGameWhileTheHandlerThatUnloadedItRuns) {
    HeadlessRuntime runtime;
    ReloadOnClick reloading(runtime);
    RecordingGame game(runtime, &reloading);
    runtime.start(game);

    runtime.clickPad(0);

    EXPECT_EQ(game.events(),
              (std::vector<std::string>{"load", "down 0", "up 0", "click 0", "load"}));
}

// Disables its pad as the mouse comes up, as the end of a round disables every pad.
class DisableOnRelease : public FormEvents {
public:
    explicit DisableOnRelease(Runtime& runtime) : runtime_(runtime) {}

    void Form_Load() override { loadcolors(runtime_); }
    void LightUp_Timer() override {}
    void Press_MouseDown(PadIndex) override {}
    void Press_MouseUp(PadIndex Index) override { runtime_.setPadEnabled(Index, false); }
    void Press_Click(PadIndex) override {}

private:
    Runtime& runtime_;
};

TEST(PadInput, aReleaseThatDisablesItsPadRaisesNoClickByMouseOrByAssistiveTechnology) {
    HeadlessRuntime runtime;
    DisableOnRelease disabling(runtime);
    RecordingGame game(runtime, &disabling);
    runtime.start(game);

    runtime.clickPad(1);
    runtime.pressAction(2);

    EXPECT_EQ(game.events(),
              (std::vector<std::string>{"load", "down 1", "up 1", "down 2", "up 2"}));
}

}  // namespace
}  // namespace zintu
