// Start-up cost of Kestrava against a bare QMainWindow program: the time from exec until the main
// window is exposed and painted (both panels computed), and the peak memory (maxrss) of the
// process, on the offscreen platform and on X11 under Xvfb. Runs alternate between the programs,
// so a busy machine slows them alike.
//
// The bare window draws no text, so it never sets up the font system before its first paint. A
// second yardstick, the bare window with one label, is measured in the same rounds and printed
// without a bar: it shows what any window that shows text pays on top of the bare one.
//
// Every program runs from a copy in a temporary folder beside a settings file that marks the first
// run as done, so the first-run help stays shut; KESTRAVA_EXIT_WHEN_SHOWN makes each print
// "shown" and end once its window is up.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int warmUpRuns = 2;
constexpr int rounds = 15;
constexpr double ratioBar = 1.3;
constexpr double memoryBarMiB = 15.0;

struct Run
{
    double ms = 0;
    double cpuMs =
        0; // user and system time of the whole run, for reading the figures on a busy machine
    double maxRssMiB = 0;
};

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "bench_Startup: %s\n", what.c_str());
    std::exit(1);
}

std::vector<std::string> environmentWith(const std::vector<std::string>& overrides)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        const bool replaced = std::any_of(overrides.begin(), overrides.end(), [&](const auto& o) {
            return o.compare(0, name.size() + 1, name + "=") == 0;
        });
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), overrides.begin(), overrides.end());
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> p;
    for (std::string& s : strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

// Starts the program and waits for its "shown"; its stderr goes to the log.
Run runOnce(const fs::path& program, std::vector<std::string> env, const fs::path& log)
{
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        fail("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::string path = program.string();
    std::vector<std::string> args{path};
    const auto argv = pointers(args);
    const auto envp = pointers(env);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0)
        fail("cannot start " + path + ": " + std::strerror(spawned));

    std::string seen;
    char buffer[256];
    std::optional<std::chrono::steady_clock::time_point> shown;
    while (!shown) {
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        seen.append(buffer, static_cast<size_t>(n));
        if (seen.find("shown\n") != std::string::npos)
            shown = std::chrono::steady_clock::now();
    }
    close(out[0]);

    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    if (!shown || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(path + " did not report its window (see " + log.string() + ")");
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return {std::chrono::duration<double, std::milli>(*shown - start).count(),
            ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_maxrss / 1024.0};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void measure(const char* platform, const fs::path& kestrava, const fs::path& bare,
             const fs::path& label, const std::vector<std::string>& env, const fs::path& log)
{
    for (int i = 0; i < warmUpRuns; ++i) {
        runOnce(kestrava, env, log);
        runOnce(bare, env, log);
        runOnce(label, env, log);
    }
    std::vector<double> msK, msB, msL, ratios, ratiosL, cpuK, cpuB, memK, memB;
    for (int round = 0; round < rounds; ++round) {
        // Who goes first changes every round; the label window follows the two.
        Run k, b;
        if (round % 2 == 0) {
            k = runOnce(kestrava, env, log);
            b = runOnce(bare, env, log);
        } else {
            b = runOnce(bare, env, log);
            k = runOnce(kestrava, env, log);
        }
        const Run l = runOnce(label, env, log);
        msK.push_back(k.ms);
        msB.push_back(b.ms);
        msL.push_back(l.ms);
        ratios.push_back(k.ms / b.ms);
        ratiosL.push_back(l.ms / b.ms);
        cpuK.push_back(k.cpuMs);
        cpuB.push_back(b.cpuMs);
        memK.push_back(k.maxRssMiB);
        memB.push_back(b.maxRssMiB);
    }
    const double ratio = median(ratios);
    const double extra = median(memK) - median(memB);
    std::printf("start-up %-9s: kestrava %.1f ms, bare window %.1f ms (medians of %d alternating "
                "runs), median ratio %.2f   bar: <= %.1f  %s\n",
                platform, median(msK), median(msB), rounds, ratio, ratioBar,
                ratio <= ratioBar ? "within" : "OVER");
    std::printf("start-up %-9s: bare window with one label %.1f ms, median ratio to the bare "
                "window %.2f (yardstick for text; no bar)\n",
                platform, median(msL), median(ratiosL));
    std::printf("start-up %-9s: cpu time kestrava %.1f ms, bare window %.1f ms (medians, "
                "whole runs; no bar)\n",
                platform, median(cpuK), median(cpuB));
    std::printf("start-up %-9s: peak memory kestrava %.1f MiB, bare window %.1f MiB, %+.1f MiB"
                "   bar: <= +%.0f MiB  %s\n",
                platform, median(memK), median(memB), extra, memoryBarMiB,
                extra <= memoryBarMiB ? "within" : "OVER");
    std::fflush(stdout);
}

std::optional<fs::path> onPath(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string p = path ? path : "/usr/bin:/bin";
    size_t from = 0;
    while (from <= p.size()) {
        const size_t to = std::min(p.find(':', from), p.size());
        const fs::path candidate = fs::path(p.substr(from, to - from)) / name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        from = to + 1;
    }
    return std::nullopt;
}

// An X server of our own for the xcb runs; ends with the benchmark.
class Xvfb
{
public:
    explicit Xvfb(const fs::path& program, const fs::path& log)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            fail("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // The server writes its display number into fd 3.
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);
        std::vector<std::string> args{program.string(), "-displayfd", "3",  "-screen", "0",
                                      "1280x1024x24",   "-nolisten",  "tcp"};
        const auto argv = pointers(args);
        const int spawned =
            posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0)
            fail("cannot start Xvfb");
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty())
            fail("Xvfb reported no display (see " + log.string() + ")");
        m_display = ":" + number;
    }
    ~Xvfb()
    {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    const std::string& display() const { return m_display; }

private:
    pid_t m_pid = 0;
    std::string m_display;
};

} // namespace

int main()
{
    char pattern[] = "/tmp/kestrava-startup-XXXXXX";
    if (!mkdtemp(pattern))
        fail("cannot make a temporary folder");
    const fs::path root(pattern);
    const fs::path app = root / "app";
    fs::create_directories(app);
    for (const char* sub : {"runtime", "config", "cache", "tmp"})
        fs::create_directories(root / sub);
    fs::permissions(root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    // Portable copies: the settings file beside the executable is the one they read.
    const fs::path kestrava = app / "kestrava";
    const fs::path bare = app / "startup_bare_window";
    const fs::path label = app / "startup_label_window";
    fs::copy_file(KESTRAVA_EXECUTABLE, kestrava);
    fs::copy_file(BARE_WINDOW_EXECUTABLE, bare);
    fs::copy_file(LABEL_WINDOW_EXECUTABLE, label);
    std::ofstream(app / "Kestrava.Ini") << "[GeneralValues]\nRun=1\n";
    const fs::path log = root / "stderr.log";

    const std::vector<std::string> common{
        "KESTRAVA_EXIT_WHEN_SHOWN=1",
        "XDG_RUNTIME_DIR=" + (root / "runtime").string(),
        "XDG_CONFIG_HOME=" + (root / "config").string(),
        "XDG_CACHE_HOME=" + (root / "cache").string(),
        "TMPDIR=" + (root / "tmp").string(),
        "LC_ALL=C.UTF-8",
    };
    auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), common.begin(), common.end());
        return environmentWith(extra);
    };

    measure("offscreen", kestrava, bare, label, with({"QT_QPA_PLATFORM=offscreen"}), log);
    if (const auto xvfb = onPath("Xvfb")) {
        Xvfb server(*xvfb, log);
        measure("xcb/Xvfb", kestrava, bare, label,
                with({"QT_QPA_PLATFORM=xcb", "DISPLAY=" + server.display()}), log);
    } else {
        std::printf("start-up xcb/Xvfb : not measured, Xvfb is missing\n");
    }
    fs::remove_all(root);
    return 0;
}
