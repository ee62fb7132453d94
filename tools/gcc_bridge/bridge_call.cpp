#include "tools/gcc_bridge/bridge_call.h"

#include <array>

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

// Options with which the compiler would start or load programs of the caller's choosing.
bool StartsOtherPrograms(std::string_view argument)
{
    constexpr std::array<std::string_view, 5> prefixes{"-wrapper", "-fplugin", "-specs", "--specs", "-B"};
    for (std::string_view prefix : prefixes)
        if (argument.starts_with(prefix))
            return true;
    return false;
}

class Translator {
public:
    Translator(std::string_view folder, const DriveMap& drives) : folder_(folder), drives_(drives) {}

    // A path argument as the compiler on Linux should see it; false when it must be refused.
    bool Path(std::string_view path, std::string& out) const
    {
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
    std::vector<std::string> arguments = SplitCommandLine(request.commandLine);
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string translated;
        bool allowed = true;
        if (StartsOtherPrograms(argument)) {
            allowed = false;
        } else if (argument.starts_with("-")) {
            translated = argument;
            // Options with a path joined to them.
            for (std::string_view option : {"-o", "-I", "-L"}) {
                if (argument.size() > option.size() && argument.starts_with(option)) {
                    std::string path;
                    allowed = translator.Path(std::string_view(argument).substr(option.size()), path);
                    translated = std::string(option) + path;
                    break;
                }
            }
        } else {
            allowed = translator.Path(argument, translated);
        }
        if (!allowed) {
            result.refusal = "refused: " + argument;
            return result;
        }
        call.arguments.push_back(std::move(translated));
    }
    result.call = std::move(call);
    return result;
}

}  // namespace gcc_bridge
