#pragma once
// Failures of the file compressor, each carrying the message shown to the user.

#include <stdexcept>

namespace ballwick {

// Raised by the compressor component Tlzrw1 (files, streams, container).
class ELzrw1Exception : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Raised by the LZRW1/KH block engine TLZR.
class ELzrw1KHCompressor : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Raised by the LZH engine TLZH.
class ElzhException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace ballwick
