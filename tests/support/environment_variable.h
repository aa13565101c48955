// Sets an environment variable for one test (unsets it for a null value) and puts back what it
// held when the test ends.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace quillmere::testing {

class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const char* value) : name_(name) {
    if (const char* before = std::getenv(name)) {
      before_ = before;
    }
    Set(value);
  }
  ~EnvironmentVariable() { Set(before_ ? before_->c_str() : nullptr); }
  EnvironmentVariable(const EnvironmentVariable&) = delete;
  EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

 private:
  void Set(const char* value) const {
#ifdef _WIN32
    ::_putenv_s(name_, value != nullptr ? value : "");  // an empty value removes the variable
#else
    value != nullptr ? ::setenv(name_, value, 1) : ::unsetenv(name_);
#endif
  }

  const char* name_;
  std::optional<std::string> before_;
};

}  // namespace quillmere::testing
