#pragma once

#include <expected>
#include <string>

namespace tavelin {

// An error is a value: a message that names the operation and the path or file involved.
struct Error {
    // What a caller may need to tell apart without reading the message.
    enum class Kind { General, NameTaken, BadInterval, BadName, NotFound, Database };

    std::string message;
    Kind kind = Kind::General;
};

template <class T> using Result = std::expected<T, Error>;

inline std::unexpected<Error> fail(std::string message, Error::Kind kind = Error::Kind::General) {
    return std::unexpected<Error>(Error{std::move(message), kind});
}

// "<operation> '<path>': <reason>", the form of every message that names a path.
std::string describe(const std::string& operation, const std::string& path,
                     const std::string& reason);
// The same with strerror(err) as the reason.
std::string describeErrno(const std::string& operation, const std::string& path, int err);

} // namespace tavelin
