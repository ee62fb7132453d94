// The Linux side of the gcc bridge. Watches a spool folder for requests from gcc.exe in the
// Wine session, runs the real mingw-w64 compiler for each in turn (arguments as a list, no
// shell), and leaves its output and exit status beside the request.
//   gcc_bridge_host SPOOL_FOLDER WINEPREFIX [COMPILER]
// COMPILER stands in for the mingw-w64 compiler found on PATH; the bridge's own test uses it.
// Ends on SIGTERM or SIGINT.
//
// Who is waiting: gcc.exe holds a lock on NAME.lock, a file Wine deletes when gcc.exe ends,
// however it ends (the editor's Escape ends it through a job object). Wine's file locks are
// POSIX locks here, so this side sees them. A request whose gcc.exe has gone is not compiled;
// a compile whose gcc.exe goes is ended with everything it started, and its files removed.
// This side holds a lock on helper.lock while it serves, so gcc.exe can tell a queue that
// waits behind a long compile from a helper that is not running.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tools/gcc_bridge/bridge_call.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace gcc_bridge;

namespace {

volatile sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}

constexpr std::chrono::milliseconds kTick{20};
constexpr const char* kHelperLock = "helper.lock";

// The prefix's drive letters, from its dosdevices folder ("z:" -> "/").
DriveMap ReadDriveMap(const fs::path& prefix)
{
    DriveMap drives;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(prefix / "dosdevices", error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != 2 || name[1] != ':' || name[0] < 'a' || name[0] > 'z')
            continue;
        const fs::path target = fs::canonical(entry.path(), error);
        if (error || !fs::is_directory(target, error))
            continue;
        std::string root = target.string();
        if (root == "/")
            root.clear();
        drives[name[0]] = root;
    }
    return drives;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteAll(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The first of the mingw-w64 C compilers found on PATH.
std::string FindCompiler()
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    std::vector<std::string> list;
    for (std::string folder; std::getline(folders, folder, ':');)
        list.push_back(folder);
    for (const char* name : {"x86_64-w64-mingw32-gcc", "x86_64-w64-mingw32-gcc-posix"})
        for (const std::string& folder : list) {
            const std::string candidate = folder + "/" + name;
            if (access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
    return {};
}

// One request's files share a stem: NAME.lock, .new, .req, .work, .out, .err, .tmp, .status.
fs::path WithExtension(const fs::path& stem, const char* extension)
{
    fs::path path = stem;
    path += extension;
    return path;
}

// Whether the gcc.exe that placed the request still waits for it: its lock file is there
// and locked.
bool CallerWaits(const fs::path& stem)
{
    const int file = open(WithExtension(stem, ".lock").c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    const bool locked = fcntl(file, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    close(file);
    return locked;
}

void RemoveRequest(const fs::path& stem)
{
    std::error_code error;
    for (const char* extension : {".new", ".req", ".work", ".out", ".err", ".tmp", ".status"})
        fs::remove(WithExtension(stem, extension), error);
}

// Ends the compiler and everything it started: asked first, so gcc removes its temporary
// files, then forced.
void EndCompiler(pid_t group)
{
    kill(-group, SIGTERM);
    int status = 0;
    for (int i = 0; i < 50 && waitpid(group, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(kTick);
    kill(-group, SIGKILL);
    while (waitpid(group, &status, 0) < 0 && errno == EINTR) {
    }
}

// Runs the compiler in the folder with its output in two files, in a process group of its
// own; its exit status (128 + signal when a signal ended it), or nothing when its caller went
// away or the helper was asked to stop, and the compiler was ended.
std::optional<int> RunCompiler(const std::string& compiler, const LinuxCall& call, const fs::path& stem)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(compiler.c_str()));
    for (const std::string& argument : call.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const fs::path out = WithExtension(stem, ".out"), err = WithExtension(stem, ".err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, call.folder.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    // Plain ASCII quotes in the messages, as a Windows console's code page would have them.
    std::vector<std::string> environment{"LC_ALL=C"};
    for (char** variable = environ; *variable; ++variable)
        if (!std::string_view(*variable).starts_with("LC_ALL="))
            environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t child = 0;
    const int started = posix_spawn(&child, compiler.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
        WriteAll(err, "gcc bridge: cannot start " + compiler + ": " + std::strerror(started) + "\n");
        return 1;
    }
    int status = 0;
    while (true) {
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child)
            break;
        if (ended < 0 && errno != EINTR)
            return 1;
        if (g_stop || !CallerWaits(stem)) {
            EndCompiler(child);
            return std::nullopt;
        }
        std::this_thread::sleep_for(kTick);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void Serve(const fs::path& stem, const fs::path& prefix, const std::string& compiler)
{
    // Claimed first, so it is not taken for a request still waiting its turn.
    const fs::path work = WithExtension(stem, ".work");
    std::error_code error;
    fs::rename(WithExtension(stem, ".req"), work, error);
    if (error)
        return;
    const fs::path out = WithExtension(stem, ".out"), err = WithExtension(stem, ".err");

    std::optional<int> code = 1;
    const std::optional<Request> decoded = DecodeRequest(ReadAll(work));
    if (!decoded) {
        WriteAll(out, "");
        WriteAll(err, "gcc bridge: unreadable request\n");
    } else {
        const Translation translation = TranslateRequest(*decoded, ReadDriveMap(prefix));
        if (!translation.call) {
            WriteAll(out, "");
            WriteAll(err, "gcc bridge: " + translation.refusal + "\n");
        } else if (compiler.empty()) {
            WriteAll(out, "");
            WriteAll(err, "gcc bridge: no x86_64-w64-mingw32-gcc on the Linux PATH\n");
        } else {
            code = RunCompiler(compiler, *translation.call, stem);
        }
    }
    if (!code) {
        RemoveRequest(stem);
        return;
    }
    const fs::path status = WithExtension(stem, ".tmp");
    WriteAll(status, std::to_string(*code));
    fs::rename(status, WithExtension(stem, ".status"), error);
    fs::remove(work, error);
}

// The requests in the spool folder, oldest first; the files of those whose caller has gone
// are removed on the way.
std::vector<fs::path> WaitingRequests(const fs::path& spool)
{
    std::set<fs::path> stems;
    std::vector<std::pair<fs::file_time_type, fs::path>> waiting;
    std::error_code error;
    const auto now = fs::file_time_type::clock::now();
    for (const fs::directory_entry& entry : fs::directory_iterator(spool, error)) {
        const fs::path name = entry.path().filename();
        if (name == kHelperLock)
            continue;
        const fs::path stem = spool / name.stem();
        const fs::path extension = name.extension();
        if (extension == ".lock") {
            // Wine deletes it when gcc.exe ends; one left unlocked is old only when Wine could not.
            if (!CallerWaits(stem) && now - entry.last_write_time(error) > std::chrono::seconds(30))
                fs::remove(entry.path(), error);
            continue;
        }
        stems.insert(stem);
        if (extension == ".req")
            waiting.emplace_back(entry.last_write_time(error), stem);
    }
    for (const fs::path& stem : stems)
        if (!CallerWaits(stem))
            RemoveRequest(stem);
    std::sort(waiting.begin(), waiting.end());
    std::vector<fs::path> requests;
    for (const auto& [time, stem] : waiting)
        if (CallerWaits(stem))
            requests.push_back(stem);
    return requests;
}

// Held for the helper's whole life; false when another helper already serves the folder.
bool HoldHelperLock(const fs::path& spool)
{
    const int file = open((spool / kHelperLock).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (file < 0)
        return false;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    // gcc.exe tests the lock by taking it for a moment; wait that moment out.
    for (int i = 0; i < 50; ++i) {
        if (fcntl(file, F_SETLK, &lock) == 0)
            return true;  // the descriptor stays open, and so the lock stays held
        std::this_thread::sleep_for(kTick);
    }
    close(file);
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: gcc_bridge_host SPOOL_FOLDER WINEPREFIX [COMPILER]\n");
        return 2;
    }
    const fs::path spool = argv[1];
    const fs::path prefix = argv[2];
    std::error_code error;
    fs::create_directories(spool, error);
    // Only this user may leave requests.
    if (chmod(spool.c_str(), 0700) != 0) {
        std::perror("gcc bridge: spool folder");
        return 1;
    }
    if (!HoldHelperLock(spool)) {
        std::fprintf(stderr, "gcc bridge: another helper already serves %s\n", spool.c_str());
        return 1;
    }
    signal(SIGTERM, OnSignal);
    signal(SIGINT, OnSignal);
    const std::string compiler = argc == 4 ? argv[3] : FindCompiler();

    // A request claimed by a helper that was stopped is served again if its caller still waits.
    for (const fs::directory_entry& entry : fs::directory_iterator(spool, error))
        if (entry.path().extension() == ".work") {
            fs::path request = entry.path();
            fs::rename(entry.path(), request.replace_extension(".req"), error);
        }
    while (!g_stop) {
        const std::vector<fs::path> requests = WaitingRequests(spool);
        if (requests.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        else
            Serve(requests.front(), prefix, compiler);
    }
    return 0;
}
