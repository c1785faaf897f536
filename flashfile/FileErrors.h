// Errors raised by the Flash file routines; the command that started the work
// catches them and decides what the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace kv {

// Any failure of a file routine: an input that cannot be opened, a target that
// cannot be created or written, a refused target.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An input that cannot be opened or read, or that ends before the data needed.
class FileReadError : public FileError {
public:
    using FileError::FileError;
};

}  // namespace kv
