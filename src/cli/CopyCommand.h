#pragma once

#include "cli/Command.h"

namespace tavelin::cli {

// tavelin-cli copy SOURCE DESTINATION [--pattern P] [--subfolders] [--typed-destination] [--json]
class CopyCommand final : public Command {
  public:
    std::string name() const override { return "copy"; }
    std::string summary() const override;
    std::string usage() const override;
    int run(const std::vector<std::string>& args, Context& context) override;
};

} // namespace tavelin::cli
