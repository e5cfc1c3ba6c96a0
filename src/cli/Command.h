#pragma once

#include <string>
#include <vector>

namespace tavelin::cli {

struct Context;

// One verb of tavelin-cli.
class Command {
  public:
    virtual ~Command() = default;
    virtual std::string name() const = 0;
    virtual std::string summary() const = 0;
    virtual std::string usage() const = 0;
    virtual int run(const std::vector<std::string>& args, Context& context) = 0;
};

} // namespace tavelin::cli
