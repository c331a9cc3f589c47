// An observer attached to the machine's operation follows a homing and a short part program on
// the simulated card: the mode changes as they happen, the program's loaded, started and
// finished events once each, and one snapshot per tick whose positions end where the program
// sent the axes.
#include "controller/ControllerCodes.h"
#include "machine/Machine.h"
#include "operation/MachineOperation.h"
#include "operation/SnapshotTexts.h"
#include "support/FakeJoystick.h"
#include "support/RecordingOperator.h"
#include "support/SimCardFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace morvik {
namespace {

// Every event as one line, and every snapshot kept.
class RecordingObserver : public MachineObserver {
public:
    void OnSnapshot(const MachineSnapshot& snapshot) override { snapshots.push_back(snapshot); }
    void OnModeChanged(MachineMode from, MachineMode to) override {
        events.push_back("mode " + std::string(MachineModeName(from)) + " -> " +
                         std::string(MachineModeName(to)));
    }
    void OnProgramLoaded(const std::string& path, std::int32_t number) override {
        events.push_back("loaded " + path + " " + std::to_string(number));
    }
    void OnProgramStarted(std::int32_t number) override {
        events.push_back("started " + std::to_string(number));
    }
    void OnProgramFinished(std::int32_t number) override {
        events.push_back("finished " + std::to_string(number));
    }
    void OnPartError(std::uint32_t, const std::string& reason) override {
        events.push_back("error " + reason);
    }

    std::vector<std::string> events;
    std::vector<MachineSnapshot> snapshots;
};

class ObserverOnCard : public test::SimCardFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ConnectMachine(ui));
        ASSERT_TRUE(
            machine->OnOpenDocument(std::string(MORVIK_TEST_DATA_DIR) + "/operation/data/xyz.mch"));
        operation = std::make_unique<MachineOperation>(*machine, joystick);
        operation->Events().Attach(observer);
    }
    void TearDown() override {
        operation.reset();
        SimCardFixture::TearDown();
    }

    void Tick() {
        operation->StatusTick();
        clock->Advance(100);
    }
    // Ticks until the observer heard the event, at most limit ticks.
    bool TickUntilEvent(const std::string& event, int limit) {
        for (int i = 0; i < limit; ++i) {
            if (std::find(observer.events.begin(), observer.events.end(), event) !=
                observer.events.end())
                return true;
            Tick();
        }
        return false;
    }

    test::RecordingOperator ui;
    test::FakeJoystick joystick;
    std::unique_ptr<MachineOperation> operation;
    RecordingObserver observer;
};

TEST_F(ObserverOnCard, HomingAndAShortProgramAreFollowedEventByEvent) {
    operation->SelectRun(); // refused: not homed, so no change is announced
    operation->SelectHome();
    operation->Start();
    Tick();
    EXPECT_TRUE(observer.snapshots.back().homed);
    EXPECT_EQ(observer.snapshots.back().mode, MachineMode::Home);
    EXPECT_FALSE(observer.snapshots.back().programStatus.has_value());

    operation->SelectRun();
    ASSERT_EQ(operation->LoadFromLines({"O77", "G91 G00 X0.5 Y0.25", "M30"}, "part.prt"),
              LoadResult::Started);
    Tick();
    ASSERT_TRUE(observer.snapshots.back().programStatus.has_value());
    EXPECT_NE(*observer.snapshots.back().programStatus & psw::Ready, 0u);
    const double x0 = observer.snapshots.back().Axis(SnapshotAxis::X).Shown();
    const double y0 = observer.snapshots.back().Axis(SnapshotAxis::Y).Shown();
    operation->Start();
    ASSERT_TRUE(TickUntilEvent("finished 77", 600));
    Tick();

    EXPECT_EQ(observer.events,
              (std::vector<std::string>{"mode None -> Home", "mode Home -> Run",
                                        "loaded part.prt 77", "started 77", "finished 77"}));
    const MachineSnapshot& last = observer.snapshots.back();
    EXPECT_EQ(last.mode, MachineMode::Run);
    EXPECT_EQ(last.programNumber, 77);
    EXPECT_EQ(last.partPath, "part.prt");
    EXPECT_NE(*last.programStatus & psw::Finished, 0u);
    // The readouts show optimal positions: only those were asked.
    const AxisReading& x = last.Axis(SnapshotAxis::X);
    ASSERT_TRUE(x.optimal.has_value());
    EXPECT_FALSE(x.current.has_value());
    EXPECT_NEAR(*x.optimal - x0, 0.5, 1e-6); // an incremental move
    EXPECT_NEAR(*last.Axis(SnapshotAxis::Y).optimal - y0, 0.25, 1e-6);
    // The panel's texts are made from the snapshot it is shown.
    EXPECT_EQ(ReadoutTexts(last, *machine)[static_cast<std::size_t>(Readout::X)],
              FormatReadout(machine->AxisX().DisplayFormat(), *x.optimal));
}

TEST_F(ObserverOnCard, ADetachedObserverHearsNothingMore) {
    operation->SelectHome();
    operation->Events().Detach(observer);
    operation->Start();
    Tick();
    EXPECT_EQ(observer.events, std::vector<std::string>{"mode None -> Home"});
    EXPECT_TRUE(observer.snapshots.empty());
}

} // namespace
} // namespace morvik
