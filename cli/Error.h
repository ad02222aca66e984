#pragma once

#include <stdexcept>
#include <string>

namespace quarbell::cli
{

// A failure the user can fix: main prints its message after "quarbell: error: "
// and exits with status 2.
struct CliError : std::runtime_error
{
    explicit CliError (const std::string& message) : std::runtime_error (message) {}
};

} // namespace quarbell::cli
