#pragma once

#include "cli/Command.h"

namespace tavelin::cli {

// tavelin-cli tasks list|add|remove|run ...
class TasksCommand final : public Command {
  public:
    std::string name() const override { return "tasks"; }
    std::string summary() const override;
    std::string usage() const override;
    int run(const std::vector<std::string>& args, Context& context) override;

  private:
    int list(const std::vector<std::string>& args, Context& context);
    int add(const std::vector<std::string>& args, Context& context);
    int remove(const std::vector<std::string>& args, Context& context);
    int history(const std::vector<std::string>& args, Context& context);
    int runTask(const std::vector<std::string>& args, Context& context);
};

} // namespace tavelin::cli
