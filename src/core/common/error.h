#pragma once

#include <stdexcept>
#include <string>

namespace common {

// An error whose text is meant for the person at the till. Screens show it in a box
// titled "确认"; the operation that threw it has committed nothing.
class UserError : public std::runtime_error {
 public:
  explicit UserError(const std::string& message) : std::runtime_error(message) {}
};

// A refused input: the message plus the name of the field the screen should focus.
class ValidationError : public UserError {
 public:
  ValidationError(const std::string& message, std::string field)
      : UserError(message), field_(std::move(field)) {}
  const std::string& field() const { return field_; }

 private:
  std::string field_;
};

}  // namespace common
