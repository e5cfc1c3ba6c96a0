#pragma once

#include "cli/Command.h"

namespace tavelin::cli {

// tavelin-cli serve: the scheduler without a window.
class ServeCommand final : public Command {
  public:
    std::string name() const override { return "serve"; }
    std::string summary() const override;
    std::string usage() const override;
    int run(const std::vector<std::string>& args, Context& context) override;
};

} // namespace tavelin::cli
