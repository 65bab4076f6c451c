#pragma once

#include "calibration/clockdriver.h"
#include "calibration/simulatedmachine.h"
#include "device/interface.h"
#include "platform/clock.h"
#include "platform/qtseriallink.h"
#include "support/scripteddialogs.h"

#include <memory>

// What the calibration and sensor-watch tests share: the simulator on a
// pseudo-terminal found by a real probe on port 1 (`machine`), an interface
// whose probe found nothing (`noMachine`, every port a missing path), and a
// manual clock driven by a timer so that whole seconds take no real time.
class MachineFixture {
public:
    static inline const QString kMissingPort = QStringLiteral("/nonexistent/ttyTorvik");

    static QStringList PortsWithMachineOnFirst(const QString& machinePath) {
        return {machinePath, kMissingPort + '2', kMissingPort + '3', kMissingPort + '4'};
    }

    // Starts the simulator and probes; false when the machine was not found
    // or the empty ports were.
    bool start() {
        sim = std::make_unique<SimulatedMachine>();
        if (sim->path().isEmpty())
            return false;
        machine = std::make_unique<Interface>(machineLink, PortsWithMachineOnFirst(sim->path()),
                                              clock, dialogs);
        noMachine = std::make_unique<Interface>(
            emptyLink, PortsWithMachineOnFirst(kMissingPort + '1'), clock, dialogs);
        probe(*machine);
        probe(*noMachine);
        clockDriver = std::make_unique<ClockDriver>(clock);
        advanceOnlyBetweenReads();
        return machine->valid() && !noMachine->valid();
    }

    // Probes with a slow clock: a machine on port 1 has a good fraction of a
    // second to answer before the clock first moves.
    void probe(Interface& device) {
        if (clockDriver)
            clockDriver->setCondition([] { return false; });
        {
            const ClockDriver probeClock(clock, ClockDriver::kProbeIntervalMsecs);
            device.probe();
        }
        if (clockDriver)
            advanceOnlyBetweenReads();
    }

    // A reply is never late merely because the test clock ran ahead.
    void advanceOnlyBetweenReads() {
        clockDriver->setCondition([this] { return !machine->readInProgress(); });
    }
    // Reads that get no reply time out on the test clock.
    void advanceAlways() { clockDriver->setCondition({}); }

    void stop() {
        clockDriver.reset();
        machine.reset();
        noMachine.reset();
        sim.reset();
    }

    ManualClock clock;
    ScriptedDialogs dialogs;
    std::unique_ptr<SimulatedMachine> sim;
    QtSerialLink machineLink;
    QtSerialLink emptyLink;
    std::unique_ptr<Interface> machine;
    std::unique_ptr<Interface> noMachine;
    std::unique_ptr<ClockDriver> clockDriver;
};
