#pragma once

#include <string>

namespace tavelin::cli {

class Paths {
  public:
    // A path typed relative to the working folder, made absolute; others unchanged.
    static std::string absolute(const std::string& path);
};

} // namespace tavelin::cli
