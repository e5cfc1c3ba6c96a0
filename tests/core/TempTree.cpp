#include "tests/core/TempTree.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace tavelin::test {

TempTree::TempTree() {
    std::string templ = (fs::temp_directory_path() / "tavelin-test-XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    root_ = templ;
}

TempTree::~TempTree() {
    std::error_code ec;
    // Undo read-only folders a test may have made, then remove everything.
    for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::remove_all(root_, ec);
}

std::string TempTree::path(const std::string& relative) const {
    return relative.empty() ? root_ : root_ + "/" + relative;
}

void TempTree::write(const std::string& relative, const std::string& content, std::int64_t mtime) {
    const fs::path p = path(relative);
    fs::create_directories(p.parent_path());
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << content;
    }
    if (mtime >= 0) {
        setMtime(relative, mtime);
    }
}

void TempTree::mkdir(const std::string& relative) {
    fs::create_directories(path(relative));
}

bool TempTree::exists(const std::string& relative) const {
    struct stat st {};
    return ::lstat(path(relative).c_str(), &st) == 0;
}

std::string TempTree::read(const std::string& relative) const {
    std::ifstream in(path(relative), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::int64_t TempTree::mtime(const std::string& relative) const {
    struct stat st {};
    if (::stat(path(relative).c_str(), &st) != 0) {
        return -1;
    }
    return st.st_mtim.tv_sec;
}

void TempTree::setMtime(const std::string& relative, std::int64_t mtime) {
    const struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
    ::utimensat(AT_FDCWD, path(relative).c_str(), times, AT_SYMLINK_NOFOLLOW);
}

std::string TempTree::list(const std::string& relative) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(path(relative), ec)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& n : names) {
        out += (out.empty() ? "" : " ") + n;
    }
    return out;
}

int TempTree::fileCount() const {
    int n = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        n += it->is_regular_file(ec) ? 1 : 0;
    }
    return n;
}

} // namespace tavelin::test
