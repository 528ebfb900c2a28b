#pragma once

#include <stdexcept>
#include <string>

// The failures that reach a caller as "run-time errors". Each carries the
// description that the user sees after "Unexpected event: " or in the log.

// A position or index outside the bounds of a store.
class SubscriptError : public std::out_of_range {
public:
    SubscriptError() : std::out_of_range("Subscript out of range") {}
};

// A number that does not fit the 32-bit (or 16-bit) type it is read into.
class OverflowError : public std::overflow_error {
public:
    OverflowError() : std::overflow_error("Overflow") {}
};

// A value of the wrong kind, such as text where a number is needed.
class TypeMismatchError : public std::invalid_argument {
public:
    TypeMismatchError() : std::invalid_argument("Type mismatch") {}
};
