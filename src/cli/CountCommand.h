#pragma once

#include "cli/Command.h"

namespace tavelin::cli {

// tavelin-cli count SOURCE [--pattern P] [--subfolders] [--json]
class CountCommand final : public Command {
  public:
    std::string name() const override { return "count"; }
    std::string summary() const override;
    std::string usage() const override;
    int run(const std::vector<std::string>& args, Context& context) override;
};

} // namespace tavelin::cli
