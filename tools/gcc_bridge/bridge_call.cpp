#include "tools/gcc_bridge/bridge_call.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace gcc_bridge {

namespace {

constexpr std::string_view kMagic{"skoczek-gcc-bridge-1\0", 21};

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char LowerLetter(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDriveAbsolute(std::string_view path)
{
    return path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
}

// The path's parts between separators, without empty ones and ".".
std::vector<std::string_view> Parts(std::string_view path)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            const std::string_view part = path.substr(start, i - start);
            if (!part.empty() && part != ".")
                parts.push_back(part);
            start = i + 1;
        }
    }
    return parts;
}

class Translator {
public:
    Translator(std::string_view folder, const DriveMap& drives) : folder_(folder), drives_(drives) {}

    // A path argument as the compiler on Linux should see it; false when it must be refused.
    bool Path(std::string_view path, std::string& out) const
    {
        if (path.starts_with('@') || path.starts_with('-'))
            return false;  // a response file, or an option where a file belongs
        if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
            return false;  // another machine or a device
        if (IsDriveAbsolute(path))
            return Mapped(path, out);
        if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':')
            return false;  // relative to a drive's own current folder, which Wine keeps hidden
        if (!path.empty() && IsSeparator(path[0]))
            return Mapped(std::string(folder_.substr(0, 2)) + std::string(path), out);
        // Relative: kept relative, but never climbing above the drive's root, where Windows
        // would stop and Linux would not.
        long depth = static_cast<long>(Parts(folder_.substr(2)).size());
        for (std::string_view part : Parts(path))
            if ((depth += part == ".." ? -1 : 1) < 0)
                return false;
        out.assign(path);
        for (char& c : out)
            if (c == '\\')
                c = '/';
        return true;
    }

private:
    bool Mapped(std::string_view path, std::string& out) const
    {
        std::optional<std::string> linux = LinuxPathOf(path, drives_);
        if (!linux)
            return false;
        out = std::move(*linux);
        return true;
    }

    std::string_view folder_;
    const DriveMap& drives_;
};

// What the bridge passes is a list of what it knows to be harmless: options that only change
// what the compiler makes of the code, and paths it maps. Anything else could start or load a
// program of the caller's choosing (a response file, a linker plugin, a tool prefix, ...).

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsNameCharacter(char c)
{
    return IsLetter(c) || IsDigit(c) || c == '-' || c == '_' || c == '+' || c == '.';
}

// A value that names no file elsewhere: no folder, no drive, not a response file.
bool IsPlainValue(std::string_view value)
{
    if (value.starts_with('@'))
        return false;
    for (std::size_t i = 0; i < value.size(); ++i)
        if (IsSeparator(value[i]) || (value[i] == ':' && i > 0 && IsLetter(value[i - 1])))
            return false;
    return true;
}

// "NAME" or "NAME=VALUE" after "-f", "-m", "-W" or "-g".
bool IsSetting(std::string_view setting)
{
    const std::size_t equals = setting.find('=');
    const std::string_view name = setting.substr(0, equals);
    if (name.empty())
        return false;
    for (char c : name)
        if (!IsNameCharacter(c))
            return false;
    return equals == std::string_view::npos || IsPlainValue(setting.substr(equals + 1));
}

// -f settings that load plugins, run a second compile with options of its own, or choose
// another linker or offload compiler.
bool IsRefusedCodeSetting(std::string_view name)
{
    if (name.starts_with("no-"))
        name.remove_prefix(3);
    constexpr std::array<std::string_view, 5> refused{"plugin", "compare-debug", "use-ld", "offload", "self-test"};
    for (std::string_view stem : refused)
        if (name.starts_with(stem))
            return true;
    return false;
}

bool IsFlag(std::string_view argument)
{
    constexpr std::array<std::string_view, 51> flags{
        "-c", "-S", "-E", "-v", "-w", "-s", "-H", "-P", "-C", "-CC", "-W", "-g",
        "-M", "-MM", "-MD", "-MMD", "-MP", "-MG", "-dM", "-dD", "-dN", "-dI", "-dU",
        "-pedantic", "-pedantic-errors", "-ansi", "-trigraphs", "-traditional-cpp", "-undef",
        "-static", "-static-libgcc", "-static-libstdc++", "-shared", "-pie", "-no-pie", "-pthread",
        "-nostdlib", "-nostdinc", "-nostartfiles", "-nodefaultlibs",
        "-pipe", "-save-temps", "-save-temps=obj", "-save-temps=cwd", "-time", "-###",
        "--version", "--help", "-dumpversion", "-dumpfullversion", "-dumpmachine"};
    return std::find(flags.begin(), flags.end(), argument) != flags.end();
}

// Warnings, optimisation, debugging, the language standard, and -f and -m settings.
bool IsCodeSetting(std::string_view argument)
{
    if (argument.starts_with("-O")) {
        for (char c : argument.substr(2))
            if (!IsLetter(c) && !IsDigit(c))
                return false;
        return true;
    }
    if (argument.starts_with("-std=")) {
        const std::string_view standard = argument.substr(5);
        for (char c : standard)
            if (!IsLetter(c) && !IsDigit(c) && c != '+')
                return false;
        return !standard.empty();
    }
    if (argument.starts_with("-W"))  // no commas: -Wl, -Wa, and -Wp, hand options to other programs
        return argument.find(',') == std::string_view::npos && IsSetting(argument.substr(2));
    if (argument.starts_with("-f"))
        return IsSetting(argument.substr(2)) && !IsRefusedCodeSetting(argument.substr(2));
    if (argument.starts_with("-m") || argument.starts_with("-g"))
        return IsSetting(argument.substr(2));
    return false;
}

// What follows an option that takes a value, joined ("-ofile") or as the next argument.
enum class ValueKind {
    Path,  // mapped like any path
    Text,  // passed as written, backslashes and all
    Name,  // a library's or language's name
};

struct ValueOption {
    std::string_view spelling;
    ValueKind kind;
};

constexpr std::array<ValueOption, 16> kValueOptions{{
    {"-o", ValueKind::Path},
    {"--output=", ValueKind::Path},
    {"--output", ValueKind::Path},
    {"-I", ValueKind::Path},
    {"-L", ValueKind::Path},
    {"-isystem", ValueKind::Path},
    {"-iquote", ValueKind::Path},
    {"-idirafter", ValueKind::Path},
    {"-include", ValueKind::Path},
    {"-MF", ValueKind::Path},
    {"-MT", ValueKind::Text},
    {"-MQ", ValueKind::Text},
    {"-D", ValueKind::Text},
    {"-U", ValueKind::Text},
    {"-l", ValueKind::Name},
    {"-x", ValueKind::Name},
}};

constexpr std::string_view kNotPassed = " (not an option the bridge passes)";

// Why Translator::Path refused a path.
std::string WhyNotAPath(std::string_view path)
{
    if (path.starts_with('@'))
        return " (response files are not read)";
    if (path.starts_with('-'))
        return " (an option where a file belongs)";
    return " (not a path on a drive the Wine session maps)";
}

// Builds the compiler's arguments one of the caller's at a time.
class CallBuilder {
public:
    CallBuilder(const Translator& paths, std::vector<std::string>& out) : paths_(paths), out_(out) {}

    // Adds the argument at i, with the value after it for an option that takes one (i then
    // moves on to it); otherwise says what is refused and why.
    std::string Add(const std::vector<std::string>& arguments, std::size_t& i)
    {
        const std::string& argument = arguments[i];
        if (argument.starts_with('@'))
            return argument + " (response files are not read)";
        if (!argument.starts_with('-')) {
            std::string path;
            if (!paths_.Path(argument, path))
                return argument + WhyNotAPath(argument);
            out_.push_back(std::move(path));
            return {};
        }
        if (IsFlag(argument) || IsCodeSetting(argument)) {
            out_.push_back(argument);
            return {};
        }
        for (const ValueOption& option : kValueOptions)
            if (argument.starts_with(option.spelling))
                return Valued(arguments, i, option.spelling, option.kind);
        if (argument.starts_with("-Wl,"))
            return LinkerOptions(argument);
        return argument + std::string(kNotPassed);
    }

private:
    std::string Valued(const std::vector<std::string>& arguments, std::size_t& i, std::string_view spelling,
                       ValueKind kind)
    {
        const std::string& argument = arguments[i];
        const bool joined = argument.size() > spelling.size();
        // Long options take a joined value only after "=".
        if (spelling.starts_with("--") && joined != spelling.ends_with('='))
            return argument + std::string(kNotPassed);
        if (!joined && i + 1 == arguments.size()) {
            out_.push_back(argument);  // the compiler says what is missing
            return {};
        }
        const std::string_view value = joined ? std::string_view(argument).substr(spelling.size())
                                              : std::string_view(arguments[++i]);
        const std::string shown = joined ? argument : argument + " " + std::string(value);
        if (!joined && value.starts_with('-'))
            return shown + " (an option where its value belongs)";
        if (value.starts_with('@'))
            return shown + " (response files are not read)";
        std::string converted;
        switch (kind) {
        case ValueKind::Path:
            if (!paths_.Path(value, converted))
                return shown + WhyNotAPath(value);
            break;
        case ValueKind::Text:
            converted.assign(value);
            break;
        case ValueKind::Name:
            if (value.empty() || !IsPlainValue(value))
                return shown + std::string(kNotPassed);
            converted.assign(value);
            break;
        }
        if (joined) {
            out_.push_back(std::string(spelling) + converted);
        } else {
            out_.push_back(argument);
            out_.push_back(std::move(converted));
        }
        return {};
    }

    // "-Wl," with the few linker options known to be harmless; a map file's path is mapped.
    // Any other could load a linker plugin or read a response file.
    std::string LinkerOptions(const std::string& argument)
    {
        std::vector<std::string_view> items;
        for (std::size_t start = 4, comma; start <= argument.size(); start = comma + 1) {
            comma = std::min(argument.find(',', start), argument.size());
            items.push_back(std::string_view(argument).substr(start, comma - start));
        }
        std::string passed = "-Wl";
        for (std::size_t k = 0; k < items.size(); ++k) {
            std::string item(items[k]);
            if (item == "--subsystem" && k + 1 < items.size() && (items[k + 1] == "console" || items[k + 1] == "windows")) {
                item += ',';
                item += items[++k];
            } else if (item.starts_with("-Map=")) {
                std::string path;
                if (!paths_.Path(items[k].substr(5), path))
                    return argument + WhyNotAPath(items[k].substr(5));
                if (path.find(',') != std::string::npos)
                    return argument + " (the linker would split its path at the comma)";
                item = "-Map=" + path;
            } else if (item != "-s" && item != "-S" && item != "--strip-all" && item != "--strip-debug" &&
                       item != "--gc-sections" && item != "--subsystem=console" && item != "--subsystem=windows") {
                return argument + std::string(kNotPassed);
            }
            passed += ',';
            passed += item;
        }
        out_.push_back(std::move(passed));
        return {};
    }

    const Translator& paths_;
    std::vector<std::string>& out_;
};

}  // namespace

std::string EncodeRequest(const Request& request)
{
    std::string bytes(kMagic);
    bytes += request.windowsFolder;
    bytes += '\0';
    bytes += request.commandLine;
    bytes += '\0';
    return bytes;
}

std::optional<Request> DecodeRequest(std::string_view bytes)
{
    if (!bytes.starts_with(kMagic))
        return std::nullopt;
    bytes.remove_prefix(kMagic.size());
    const std::size_t folderEnd = bytes.find('\0');
    if (folderEnd == std::string_view::npos)
        return std::nullopt;
    const std::size_t lineEnd = bytes.find('\0', folderEnd + 1);
    if (lineEnd == std::string_view::npos || lineEnd + 1 != bytes.size())
        return std::nullopt;
    return Request{std::string(bytes.substr(0, folderEnd)),
                   std::string(bytes.substr(folderEnd + 1, lineEnd - folderEnd - 1))};
}

std::vector<std::string> SplitCommandLine(std::string_view line)
{
    std::vector<std::string> arguments;
    std::size_t i = 0;
    // The program's name ends at the next space, or inside quotes at the closing quote;
    // backslashes in it are plain characters.
    {
        std::string name;
        bool quoted = false;
        for (; i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t')); ++i) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                name += line[i];
        }
        arguments.push_back(std::move(name));
    }
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == line.size())
            break;
        std::string argument;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            std::size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    argument += '"';  // a doubled quote inside quotes is one quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument.append(backslashes, '\\');
                if (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
                    argument += line[i];
                    ++i;
                }
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::optional<std::string> LinuxPathOf(std::string_view windowsPath, const DriveMap& drives)
{
    if (!IsDriveAbsolute(windowsPath))
        return std::nullopt;
    const auto drive = drives.find(LowerLetter(windowsPath[0]));
    if (drive == drives.end())
        return std::nullopt;
    std::vector<std::string_view> kept;
    for (std::string_view part : Parts(windowsPath.substr(3))) {
        if (part != "..")
            kept.push_back(part);
        else if (!kept.empty())
            kept.pop_back();
    }
    std::string path = drive->second;
    for (std::string_view part : kept) {
        path += '/';
        path += part;
    }
    return path.empty() ? "/" : path;
}

Translation TranslateRequest(const Request& request, const DriveMap& drives)
{
    Translation result;
    std::optional<std::string> folder = LinuxPathOf(request.windowsFolder, drives);
    if (!folder) {
        result.refusal = "the folder " + request.windowsFolder + " is not on a drive the Wine session maps";
        return result;
    }
    const Translator translator(request.windowsFolder, drives);
    LinuxCall call{std::move(*folder), {}};
    CallBuilder builder(translator, call.arguments);
    const std::vector<std::string> arguments = SplitCommandLine(request.commandLine);
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::string refusal = builder.Add(arguments, i);
        if (!refusal.empty()) {
            result.refusal = "refused: " + refusal;
            return result;
        }
    }
    result.call = std::move(call);
    return result;
}

}  // namespace gcc_bridge
