/*
 * startup.cpp - start-up benchmark: Vornic against the bare GTK+ 2 baseline.
 *
 *   vornic-startup-bench [N] [--icount-runs K] [--vornic PATH]
 *                        [--baseline PATH] [--locales FILE] [--keep-profiles DIR]
 *
 * Runs on the display in $DISPLAY, which must be its own (the tests' runner,
 * tests/support/with-display.sh, gives it a private Xvfb), and becomes that
 * display's window manager: it selects
 * SubstructureRedirect on the root window before it starts either program,
 * so the server hands it each toplevel map as a MapRequest instead of mapping
 * the window.  Without a window manager the server maps a window at the very
 * moment it processes the program's map request; the MapRequest arrives at
 * that same moment.  Per run:
 *
 *  - time: from just before execve (the child writes its own CLOCK_MONOTONIC
 *    timestamp through a close-on-exec pipe) until the MapRequest is read;
 *    the program is then stopped at once, before it can do anything more;
 *  - CPU time: the stopped program's own CPU clock, all threads together,
 *    which a busy machine disturbs far less than the wall time;
 *  - memory: VmHWM of /proc/PID/status of the stopped program;
 *  - instructions: separate runs under callgrind.  After its MapRequest a
 *    program draws its window once and goes idle in its main loop; once it
 *    has used no CPU for a while it gets SIGTERM, on which callgrind writes
 *    its totals.  The count is exact up to a few events' worth of work, and
 *    repeatable where time is not (this virtual machine offers no hardware
 *    counters to perf).
 *
 * Runs are interleaved (the order flips every round) after one unmeasured
 * warm-up run of each program, and every program sees the same environment
 * and a working directory holding the same "locales" file.  A map is only
 * counted when the window's _NET_WM_PID names the program just started.
 *
 * Prints min, median and max of each figure and, on its last line, the ratio
 * Vornic/baseline of the medians.  It asserts no timing: the exit status says
 * only whether every run worked.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    int runs = 20;
    int icountRuns = 3;
    std::string vornic = VORNIC_BENCH_VORNIC;
    std::string baseline = VORNIC_BENCH_BASELINE;
    std::string locales = VORNIC_BENCH_LOCALES;
    std::string profiles; /* where to keep callgrind's files, if anywhere */
};

struct Program {
    const char *label = nullptr;
    std::string path;
    std::vector<double> millis;
    std::vector<double> cpuMillis;
    std::vector<double> hwmKiB;
    std::vector<double> instructions;
};

/* Everything a run needs that outlives one run. */
struct Bench {
    std::string dir; /* working directory of the programs: holds "locales" */
    std::string home;
    std::string childLog;
    std::string displayName;
    Display *display = nullptr;
    Atom wmPid = None;
};

/* The scratch directory, removed however the benchmark ends. */
std::string scratch;

int removeEntry(const char *path, const struct stat *, int, FTW *)
{
    std::remove(path);
    return 0;
}

void removeScratch()
{
    if (!scratch.empty())
        nftw(scratch.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

[[noreturn]] void fail(const std::string &message)
{
    std::fprintf(stderr, "vornic-startup-bench: %s\n", message.c_str());
    std::exit(1);
}

/* The program under test must not outlive the benchmark. */
void dieWithParent()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

double now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void copyFile(const std::string &from, const std::string &to)
{
    std::ifstream in(from, std::ios::binary);
    if (!in)
        fail("cannot read " + from);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
    if (!out)
        fail("cannot write " + to);
}

int redirectRefused = 0;
int onXError(Display *, XErrorEvent *error)
{
    if (error->error_code == BadAccess)
        redirectRefused = 1;
    return 0;
}

void becomeWindowManager(Bench &bench)
{
    bench.display = XOpenDisplay(bench.displayName.c_str());
    if (!bench.display)
        fail("cannot open display " + bench.displayName);
    XSetErrorHandler(onXError);
    XSelectInput(bench.display, DefaultRootWindow(bench.display),
                 SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(bench.display, False);
    if (redirectRefused)
        fail("another client already manages the display");
    bench.wmPid = XInternAtom(bench.display, "_NET_WM_PID", False);
}

void discardEvents(Display *display)
{
    XSync(display, False);
    XEvent event;
    while (XPending(display))
        XNextEvent(display, &event);
}

long windowPid(const Bench &bench, Window window)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(bench.display, window, bench.wmPid, 0, 1, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 32 && count == 1)
        pid = static_cast<long>(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

/* The same environment for both programs, nothing inherited but PATH. */
void setChildEnvironment(const Bench &bench)
{
    std::string path = getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin";
    clearenv();
    setenv("PATH", path.c_str(), 1);
    setenv("DISPLAY", bench.displayName.c_str(), 1);
    setenv("HOME", bench.home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (bench.home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (bench.home + "/.local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (bench.home + "/.cache").c_str(), 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
}

struct Started {
    pid_t pid;
    double execAt;
};

Started startChild(const Bench &bench, const std::vector<std::string> &argv)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        fail("pipe");
    pid_t pid = fork();
    if (pid < 0)
        fail("fork");
    if (pid == 0) {
        dieWithParent();
        close(fds[0]);
        if (chdir(bench.dir.c_str()) != 0)
            _exit(127);
        int quiet = open("/dev/null", O_WRONLY);
        int log = open(bench.childLog.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        dup2(quiet, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        setChildEnvironment(bench);
        std::vector<char *> args;
        for (const std::string &arg : argv)
            args.push_back(const_cast<char *>(arg.c_str()));
        args.push_back(nullptr);
        double at = now();
        (void)!write(fds[1], &at, sizeof at);
        execvp(args[0], args.data());
        int error = errno;
        (void)!write(fds[1], &error, sizeof error);
        _exit(127);
    }
    close(fds[1]);
    Started started{pid, 0};
    int error = 0;
    if (read(fds[0], &started.execAt, sizeof started.execAt) != sizeof started.execAt ||
        read(fds[0], &error, sizeof error) > 0)
        fail("cannot run " + argv[0] + ": " + std::strerror(error));
    close(fds[0]);
    return started;
}

void reap(pid_t pid, int signal)
{
    kill(pid, signal);
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

/* Waits for the first map of a toplevel window of pid and returns when it
 * was read.  With freeze, the program is stopped at once, before anything
 * else, so that what it does after the map cannot reach the figures. */
double awaitMap(Bench &bench, pid_t pid, const std::string &label, double timeout, bool freeze)
{
    Display *display = bench.display;
    double deadline = now() + timeout;
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapRequest)
                continue;
            double at = now();
            if (freeze) {
                int status;
                kill(pid, SIGSTOP);
                waitpid(pid, &status, WUNTRACED);
            }
            if (windowPid(bench, event.xmaprequest.window) == pid)
                return at;
            if (freeze)
                kill(pid, SIGCONT);
        }
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid)
            fail(label + " ended before it mapped a window; its messages:\n" +
                 readFile(bench.childLog));
        if (now() > deadline) {
            reap(pid, SIGKILL);
            fail(label + " mapped no window in time; its messages:\n" + readFile(bench.childLog));
        }
        pollfd p{ConnectionNumber(display), POLLIN, 0};
        poll(&p, 1, 100);
    }
}

/* A field of /proc/PID/status in KiB. */
double statusKiB(pid_t pid, const char *field)
{
    std::istringstream status(readFile("/proc/" + std::to_string(pid) + "/status"));
    std::string line;
    std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::strtod(line.c_str() + length + 1, nullptr);
    return 0;
}

/* CPU time used by pid so far, all its threads together, ended ones too. */
double cpuMillis(pid_t pid)
{
    clockid_t clock;
    timespec used;
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &used) != 0)
        return 0;
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

void timedRun(Bench &bench, Program &program, bool keep)
{
    discardEvents(bench.display);
    Started child = startChild(bench, {program.path});
    double mappedAt = awaitMap(bench, child.pid, program.label, 60, true);
    double hwm = statusKiB(child.pid, "VmHWM");
    double cpu = cpuMillis(child.pid);
    reap(child.pid, SIGKILL);
    if (keep) {
        program.millis.push_back((mappedAt - child.execAt) * 1000);
        program.cpuMillis.push_back(cpu);
        program.hwmKiB.push_back(hwm);
    }
}

/* CPU ticks used so far, or -1 once the process is not sleeping. */
long sleepingTicks(pid_t pid)
{
    std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string state, skip;
    fields >> state;
    for (int i = 4; i < 14; ++i)
        fields >> skip;
    long user = 0, system = 0;
    fields >> user >> system;
    return state == "S" ? user + system : -1;
}

void countedRun(Bench &bench, Program &program, const std::string &profiles)
{
    std::string out = bench.dir + "/callgrind.out";
    std::remove(out.c_str());
    discardEvents(bench.display);
    Started child = startChild(bench, {"valgrind", "--tool=callgrind", "-q", "--vgdb=no",
                                       "--callgrind-out-file=" + out, program.path});
    awaitMap(bench, child.pid, program.label, 600, false);

    /* Idle: asleep, with no CPU time used over five samples in a row. */
    long last = -2;
    int quiet = 0;
    double deadline = now() + 120;
    while (quiet < 5 && now() < deadline) {
        usleep(40000);
        long ticks = sleepingTicks(child.pid);
        quiet = (ticks >= 0 && ticks == last) ? quiet + 1 : 0;
        last = ticks;
    }
    reap(child.pid, SIGTERM);

    std::string totals = readFile(out);
    if (!profiles.empty())
        copyFile(out, profiles + "/callgrind.out." + program.label + "." +
                          std::to_string(program.instructions.size() + 1));
    std::istringstream text(totals);
    std::string line;
    while (std::getline(text, line))
        if (line.compare(0, 8, "summary:") == 0) {
            program.instructions.push_back(std::strtod(line.c_str() + 8, nullptr));
            return;
        }
    fail(std::string("callgrind wrote no totals for ") + program.label);
}

struct Spread {
    double min, median, max;
};

Spread spread(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {values.front(), median, values.back()};
}

void printRow(const char *label, const char *figure, const Spread &s, const char *format)
{
    std::printf("%-9s %-22s", label, figure);
    std::printf(format, s.min);
    std::printf(format, s.median);
    std::printf(format, s.max);
    std::printf("\n");
}

Options parse(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                fail("missing value after " + arg);
            return argv[++i];
        };
        if (arg == "--icount-runs")
            options.icountRuns = std::atoi(value().c_str());
        else if (arg == "--vornic")
            options.vornic = value();
        else if (arg == "--baseline")
            options.baseline = value();
        else if (arg == "--locales")
            options.locales = value();
        else if (arg == "--keep-profiles")
            options.profiles = value();
        else if (!arg.empty() && arg.find_first_not_of("0123456789") == std::string::npos)
            options.runs = std::atoi(arg.c_str());
        else
            fail("usage: vornic-startup-bench [N] [--icount-runs K] [--vornic PATH] "
                 "[--baseline PATH] [--locales FILE] [--keep-profiles DIR]");
    }
    if (options.runs < 1 || options.icountRuns < 0)
        fail("N must be at least 1 and K at least 0");
    return options;
}

} // namespace

int main(int argc, char **argv)
{
    Options options = parse(argc, argv);
    signal(SIGPIPE, SIG_IGN);

    Bench bench;
    const char *tmp = getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/vornic-startup.XXXXXX";
    std::vector<char> dir(templ.begin(), templ.end());
    dir.push_back('\0');
    if (!mkdtemp(dir.data()))
        fail("cannot make a working directory");
    bench.dir = scratch = dir.data();
    std::atexit(removeScratch);
    bench.home = bench.dir + "/home";
    bench.childLog = bench.dir + "/messages.log";
    mkdir(bench.home.c_str(), 0700);
    copyFile(options.locales, bench.dir + "/locales");

    const char *display = getenv("DISPLAY");
    if (!display || !*display)
        fail("no display: run under tests/support/with-display.sh");
    bench.displayName = display;
    becomeWindowManager(bench);

    Program programs[2];
    programs[0].label = "vornic";
    programs[0].path = options.vornic;
    programs[1].label = "baseline";
    programs[1].path = options.baseline;
    for (Program &program : programs)
        timedRun(bench, program, false);
    for (int round = 0; round < options.runs; ++round)
        for (int k = 0; k < 2; ++k)
            timedRun(bench, programs[(round + k) % 2], true);
    for (int round = 0; round < options.icountRuns; ++round)
        for (int k = 0; k < 2; ++k)
            countedRun(bench, programs[(round + k) % 2], options.profiles);

    XCloseDisplay(bench.display);

    std::printf("start-up to first map: %d runs each, interleaved; instructions from %d "
                "callgrind runs each\n",
                options.runs, options.icountRuns);
    std::printf("%-9s %-22s%14s%14s%14s\n", "", "", "min", "median", "max");
    double medians[2][4] = {};
    for (int p = 0; p < 2; ++p) {
        Program &program = programs[p];
        Spread time = spread(program.millis);
        Spread hwm = spread(program.hwmKiB);
        printRow(program.label, "time to map (ms)", time, "%14.2f");
        Spread cpu = spread(program.cpuMillis);
        printRow(program.label, "CPU time to map (ms)", cpu, "%14.2f");
        medians[p][3] = cpu.median;
        printRow(program.label, "peak RSS (KiB)", hwm, "%14.0f");
        medians[p][0] = time.median;
        medians[p][1] = hwm.median;
        if (!program.instructions.empty()) {
            Spread count = spread(program.instructions);
            printRow(program.label, "instructions", count, "%14.0f");
            medians[p][2] = count.median;
        }
    }
    char icount[32] = "n/a";
    if (options.icountRuns)
        std::snprintf(icount, sizeof icount, "%.3f", medians[0][2] / medians[1][2]);
    std::printf("summary: vornic/baseline medians: time %.3f (target <= 1.10), peak RSS %.3f "
                "(target <= 1.03), instructions %s (target <= 1.05); CPU time %.3f\n",
                medians[0][0] / medians[1][0], medians[0][1] / medians[1][1], icount,
                medians[0][3] / medians[1][3]);
    return 0;
}
