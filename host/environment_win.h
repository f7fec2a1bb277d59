// Temporary changes to this process's environment, for the children it starts.
#pragma once

#include <string>
#include <vector>

namespace host {

// Changes to this process's environment for as long as it lives, each undone afterwards. A child
// started meanwhile inherits a copy, so they are undone as soon as the child exists.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void Set(const std::string& name, const std::string& value);
    void Remove(const std::string& name);

private:
    struct Saved {
        std::wstring name;
        std::wstring value;
        bool hadValue = false;
    };
    void Save(const std::string& name);

    std::vector<Saved> saved_;
};

}  // namespace host
