// torvik-sim: the testing machine's interface box on a pseudo-terminal, for
// tests, demonstrations and operators without a machine. One thread: a poll()
// loop over the pseudo-terminal and standard input that sleeps until a request,
// a command or a scheduled reply is due.

#include "interfacebox.h"
#include "pseudoterminal.h"
#include "registration.h"
#include "simcommands.h"
#include "simoptions.h"
#include "specimen.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <iostream>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t gStopRequested = 0;

void HandleStopSignal(int) {
    gStopRequested = 1;
}

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Lines go out whole and at once: tests read the path and the acknowledgements
// as they come.
void WriteLine(const std::string& line) {
    const std::string text = line + "\n";
    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t count = ::write(STDOUT_FILENO, rest.data(), rest.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return;
        rest.remove_prefix(static_cast<std::size_t>(count));
    }
}

// Stop signals are blocked except while the loop sleeps in ppoll(), so none is
// lost between checking the flag and going to sleep. Returns the mask to sleep
// with.
sigset_t InstallStopSignals() {
    struct sigaction action = {};
    action.sa_handler = HandleStopSignal;
    sigemptyset(&action.sa_mask);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
        sigaddset(&stopSignals, signal);
    }
    std::signal(SIGPIPE, SIG_IGN);
    // Started in the background from a shell, the simulator must not be
    // stopped for touching the terminal: reads then fail and commands end.
    std::signal(SIGTTIN, SIG_IGN);
    std::signal(SIGTTOU, SIG_IGN);
    sigset_t sleepMask;
    sigprocmask(SIG_BLOCK, &stopSignals, &sleepMask);
    return sleepMask;
}

timespec SecondsToTimespec(double seconds) {
    seconds = std::max(0.0, seconds);
    const double whole = std::floor(seconds);
    return {static_cast<time_t>(whole), static_cast<long>((seconds - whole) * 1e9)};
}

struct SimParts {
    PseudoTerminal& pty;
    InterfaceBox& box;
    SimCommands& commands;
    bool log;
};

void HandleCommandInput(const SimParts& parts, bool& stdinOpen, std::string& pending) {
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        // Closed standard input only ends the commands, not the simulator.
        if (count == 0 || errno != EINTR)
            stdinOpen = false;
        return;
    }
    pending.append(buffer, static_cast<std::size_t>(count));
    for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        const CommandResult result = parts.commands.apply(line, Now());
        WriteLine(result.reply);
        if (result.quit)
            gStopRequested = 1;
    }
}

void Serve(const SimParts& parts, const sigset_t& sleepMask) {
    bool stdinOpen = true;
    std::string pendingInput;
    while (!gStopRequested) {
        pollfd fds[2] = {{parts.pty.masterFd(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        std::optional<timespec> timeout;
        if (const auto due = parts.box.nextDue())
            timeout = SecondsToTimespec(*due - Now());
        const int ready =
            ::ppoll(fds, stdinOpen ? 2 : 1, timeout ? &*timeout : nullptr, &sleepMask);
        if (ready < 0 && errno != EINTR)
            return;
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            parts.box.receive(parts.pty.readAvailable(), Now());
            for (const std::string& request : parts.box.takeRequests())
                if (parts.log)
                    WriteLine("got " + request);
        }
        if (ready > 0 && stdinOpen && fds[1].revents != 0)
            HandleCommandInput(parts, stdinOpen, pendingInput);
        const std::string due = parts.box.takeDue(Now());
        if (!due.empty())
            parts.pty.write(due);
    }
}
} // namespace

int main(int argc, char* argv[]) {
    std::string error;
    const SimOptions options = ParseSimOptions({argv + 1, argv + argc}, error);
    if (!error.empty() || options.help) {
        (error.empty() ? std::cout : std::cerr)
            << (error.empty() ? "" : "torvik-sim: " + error + "\n") << SimUsageText()
            << SimCommands::HelpText();
        return error.empty() ? 0 : 2;
    }
    // Ends with the program that started it (a test run that crashed, say),
    // so no simulator is left holding a pseudo-terminal and a settings entry.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // Replies paced to the line rate are due every few hundred microseconds;
    // the kernel's default 50 us slack on timed sleeps would slow them.
    ::prctl(PR_SET_TIMERSLACK, 1UL);
    const sigset_t sleepMask = InstallStopSignals();

    PseudoTerminal pty;
    if (!pty.open(error)) {
        std::cerr << "torvik-sim: " << error << "\n";
        return 1;
    }
    std::optional<Registration> registration;
    if (options.registerPort > 0)
        registration.emplace(options.registerPort, pty.path());
    WriteLine(pty.path());

    Specimen specimen(options.kind, options.offsetCounts, options.seed, Now());
    InterfaceBox box(specimen, options.box, options.seed + 1);
    SimCommands commands(box, specimen);
    Serve({pty, box, commands, options.log}, sleepMask);
    return 0;
}
