#pragma once

#include <stdexcept>
#include <string>

// Failure to open an existing file for reading: "Cannot open file "<path>". <reason>".
class EFOpenError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Failure to create or write a file: "Cannot create file "<path>". <reason>".
class EFCreateError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Input/output failure of the log file.
class EInOutError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A programming fault detected at run time: "<message> (<source file>, line <n>)".
class EAssertionFailed : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};
