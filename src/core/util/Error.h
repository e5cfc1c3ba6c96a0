#pragma once

#include <expected>
#include <string>

namespace tavelin {

// An error is a value: a message that names the operation and the path or file involved.
struct Error {
    std::string message;
};

template <class T> using Result = std::expected<T, Error>;

inline std::unexpected<Error> fail(std::string message) {
    return std::unexpected<Error>(Error{std::move(message)});
}

// "<operation> '<path>': <strerror(err)>"
std::string describeErrno(const std::string& operation, const std::string& path, int err);

} // namespace tavelin
