#pragma once

#include "cli/Command.h"

#include <memory>
#include <string>
#include <vector>

namespace tavelin::cli {

struct Context;

// The command table of tavelin-cli and its top-level --help and --version.
class Cli {
  public:
    Cli();
    void add(std::unique_ptr<Command> command);
    int run(const std::vector<std::string>& args, Context& context);
    std::string help() const;

  private:
    std::vector<std::unique_ptr<Command>> commands_;
};

} // namespace tavelin::cli
