#pragma once

#include "core/util/Error.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavelin::cli {

// A command's parsed arguments: positionals, "--flag" switches and "--name VALUE" options.
class Arguments {
  public:
    // Fails on an unknown option, an option without its value, or one given twice.
    static Result<Arguments> parse(const std::vector<std::string>& args,
                                   const std::set<std::string>& flags,
                                   const std::set<std::string>& options);

    const std::vector<std::string>& positionals() const { return positionals_; }
    bool has(const std::string& flag) const { return flags_.count(flag) != 0; }
    const std::string* value(const std::string& option) const;

  private:
    std::vector<std::string> positionals_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
};

} // namespace tavelin::cli
