#include "cli/Arguments.h"

namespace tavelin::cli {

Result<Arguments> Arguments::parse(const std::vector<std::string>& args,
                                   const std::set<std::string>& flags,
                                   const std::set<std::string>& options) {
    Arguments out;
    bool onlyPositionals = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyPositionals || a.size() < 2 || a[0] != '-' || a == "-") {
            out.positionals_.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyPositionals = true;
            continue;
        }
        std::string name = a;
        std::string inlineValue;
        bool hasInline = false;
        if (const auto eq = a.find('='); a.starts_with("--") && eq != std::string::npos) {
            name = a.substr(0, eq);
            inlineValue = a.substr(eq + 1);
            hasInline = true;
        }
        if (flags.count(name) != 0 && !hasInline) {
            out.flags_.insert(name);
        } else if (options.count(name) != 0) {
            if (out.values_.count(name) != 0) {
                return fail("option " + name + " given more than once" +
                            (name == "--pattern"
                                 ? "; give several patterns in one, separated by ';' "
                                   "(\"*.txt;*.doc\")"
                                 : ""));
            }
            if (hasInline) {
                out.values_[name] = inlineValue;
            } else if (i + 1 < args.size()) {
                out.values_[name] = args[++i];
            } else {
                return fail("option " + name + " needs a value");
            }
        } else {
            return fail("unknown option '" + a + "'");
        }
    }
    return out;
}

const std::string* Arguments::value(const std::string& option) const {
    const auto it = values_.find(option);
    return it == values_.end() ? nullptr : &it->second;
}

} // namespace tavelin::cli
