// The Linux side of the gcc bridge. Watches a spool folder for requests from gcc.exe in the
// Wine session, runs the real mingw-w64 compiler for each (arguments as a list, no shell), and
// leaves its output and exit status beside the request.
//   gcc_bridge_host SPOOL_FOLDER WINEPREFIX
// Ends on SIGTERM or SIGINT.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
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

// Runs the compiler in the folder with its output in two files; returns its exit status
// (128 + signal when a signal ended it).
int RunCompiler(const std::string& compiler, const LinuxCall& call, const fs::path& out, const fs::path& err)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(compiler.c_str()));
    for (const std::string& argument : call.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, call.folder.c_str());
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
    const int started = posix_spawn(&child, compiler.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
        WriteAll(err, "gcc bridge: cannot start " + compiler + ": " + std::strerror(started) + "\n");
        return 1;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void Serve(const fs::path& request, const fs::path& prefix, const std::string& compiler)
{
    // Claimed first, so gcc.exe knows the helper is at work on it.
    fs::path work = request;
    work.replace_extension(".work");
    std::error_code error;
    fs::rename(request, work, error);
    if (error)
        return;
    fs::path out = work, err = work, status = work, done = work;
    out.replace_extension(".out");
    err.replace_extension(".err");
    status.replace_extension(".tmp");
    done.replace_extension(".status");

    int code = 1;
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
            code = RunCompiler(compiler, *translation.call, out, err);
        }
    }
    WriteAll(status, std::to_string(code));
    fs::rename(status, done, error);
    fs::remove(work, error);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: gcc_bridge_host SPOOL_FOLDER WINEPREFIX\n");
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
    signal(SIGTERM, OnSignal);
    signal(SIGINT, OnSignal);
    const std::string compiler = FindCompiler();

    while (!g_stop) {
        std::vector<fs::path> requests;
        for (const fs::directory_entry& entry : fs::directory_iterator(spool, error))
            if (entry.path().extension() == ".req")
                requests.push_back(entry.path());
        for (const fs::path& request : requests)
            Serve(request, prefix, compiler);
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    return 0;
}
