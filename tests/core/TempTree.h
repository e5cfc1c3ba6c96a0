#pragma once

#include <cstdint>
#include <string>

namespace tavelin::test {

// A temporary folder for one test, removed with everything in it at the end.
class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const;

    // Writes a file (parent folders made) and sets its modification time when given.
    void write(const std::string& relative, const std::string& content, std::int64_t mtime = -1);
    void mkdir(const std::string& relative);
    bool exists(const std::string& relative) const;
    std::string read(const std::string& relative) const;
    std::int64_t mtime(const std::string& relative) const;
    void setMtime(const std::string& relative, std::int64_t mtime);
    // Names in a folder, sorted; hidden ones included.
    std::string list(const std::string& relative) const;
    int fileCount() const;

  private:
    std::string root_;
};

} // namespace tavelin::test
