#include "core/shell/AutostartEntry.h"

#include "core/util/FolderPath.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tavelin {

AutostartEntry::AutostartEntry(std::string configHome) : configHome_(std::move(configHome)) {}

std::string AutostartEntry::filePath() const {
    return configHome_ + "/autostart/Tavelin.desktop";
}

std::string AutostartEntry::execValue(const std::string& programPath) {
    // Inside double quotes the characters " ` $ and \ take a backslash; a string value then
    // doubles every backslash once more, and a literal % is written %%.
    static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    bool needsQuotes = false;
    for (char c : programPath) {
        needsQuotes = needsQuotes || reserved.find(c) != std::string::npos;
    }
    std::string quoted;
    for (char c : programPath) {
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            quoted += '\\';
        }
        quoted += c;
    }
    std::string value;
    for (char c : (needsQuotes ? "\"" + quoted + "\"" : quoted)) {
        if (c == '\\') {
            value += "\\\\";
        } else if (c == '%') {
            value += "%%";
        } else {
            value += c;
        }
    }
    return value;
}

Result<void> AutostartEntry::add(const std::string& programPath) const {
    const std::string folder = configHome_ + "/autostart";
    if (const int err = FolderPath::makeFullPath(folder); err != 0) {
        return fail(describeErrno("cannot create folder", folder, err));
    }
    const std::string path = filePath();
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Tavelin\n"
               "Comment=Keeps destination folders up to date\n"
               "Exec="
            << execValue(programPath)
            << "\n"
               "Icon=tavelin\n"
               "Terminal=false\n"
               "X-GNOME-Autostart-enabled=true\n";
        if (!out.flush()) {
            ::unlink(temp.c_str());
            return fail(describeErrno("cannot write", temp, errno));
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return fail(describeErrno("cannot write", path, err));
    }
    return {};
}

Result<void> AutostartEntry::remove() const {
    if (::unlink(filePath().c_str()) != 0 && errno != ENOENT) {
        return fail(describeErrno("cannot remove", filePath(), errno));
    }
    return {};
}

bool AutostartEntry::exists() const {
    struct stat st {};
    return ::stat(filePath().c_str(), &st) == 0;
}

} // namespace tavelin
