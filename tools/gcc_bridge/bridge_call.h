#pragma once
// What the gcc bridge does with a call from the Wine session, without any system calls:
// reading the request, splitting the Windows command line, and turning Windows paths into
// Linux paths through the Wine prefix's drive mappings. Shared by both sides of the bridge.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gcc_bridge {

// A drive letter (lower case) and the Linux folder it maps to, without a trailing slash
// ("" for "/").
using DriveMap = std::map<char, std::string>;

// What gcc.exe sends: the folder it was started in and its whole command line, both UTF-8.
struct Request {
    std::string windowsFolder;
    std::string commandLine;
};

std::string EncodeRequest(const Request& request);
std::optional<Request> DecodeRequest(std::string_view bytes);

// The arguments of a command line, split as the C runtime on Windows splits them
// (spaces and tabs separate, quotes group, backslashes escape only before a quote).
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// An absolute Windows path ("Z:\a\b" or "Z:/a/b") as a Linux path. "." and ".." are resolved
// as Windows resolves them (".." at a drive's root stays there). Nothing for a drive the
// prefix does not map, a path on another machine, a device, or a path relative to a drive.
std::optional<std::string> LinuxPathOf(std::string_view windowsPath, const DriveMap& drives);

// The compiler's folder and arguments on the Linux side.
struct LinuxCall {
    std::string folder;
    std::vector<std::string> arguments;  // without the program's own name
};

// Either the call to make or why it is refused.
struct Translation {
    std::optional<LinuxCall> call;
    std::string refusal;
};

// Relative paths stay relative, so the compiler's messages name files as the user wrote them;
// absolute ones are mapped. Only options known to change nothing but what the compiler makes
// of the code pass; anything else, response files included, is refused, and the refusal
// names it.
Translation TranslateRequest(const Request& request, const DriveMap& drives);

}  // namespace gcc_bridge
