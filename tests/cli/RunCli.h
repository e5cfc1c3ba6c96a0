#pragma once

#include <map>
#include <string>
#include <vector>

namespace tavelin::test {

struct CliOutput {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the real tavelin-cli with the given arguments (and extra environment), capturing both
// streams. `background` returns at once with the child's pid in `status`.
CliOutput runCli(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env = {});

} // namespace tavelin::test
