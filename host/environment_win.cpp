#include "host/environment_win.h"

#include <windows.h>

#include <utility>

#include "host/text_encoding_win.h"

namespace host {

ScopedEnvironment::~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        ::SetEnvironmentVariableW(it->name.c_str(), it->hadValue ? it->value.c_str() : nullptr);
    }
}

void ScopedEnvironment::Set(const std::string& name, const std::string& value) {
    Save(name);
    ::SetEnvironmentVariableW(saved_.back().name.c_str(), Widen(value).c_str());
}

void ScopedEnvironment::Remove(const std::string& name) {
    Save(name);
    ::SetEnvironmentVariableW(saved_.back().name.c_str(), nullptr);
}

void ScopedEnvironment::Save(const std::string& name) {
    Saved saved{Widen(name), {}, false};
    const DWORD size = ::GetEnvironmentVariableW(saved.name.c_str(), nullptr, 0);
    if (size > 0) {
        saved.value.resize(size);
        saved.value.resize(::GetEnvironmentVariableW(saved.name.c_str(), saved.value.data(), size));
        saved.hadValue = true;
    }
    saved_.push_back(std::move(saved));
}

}  // namespace host
