#pragma once
// Test helpers for code that touches files and the environment: a fresh
// folder per test, and environment variables put back as they were.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace zu::testing {

// A new empty folder below $ZU_TEST_TMP (or the system's temporary folder),
// removed with everything in it at the end of the test.
class ScratchFolder {
public:
    ScratchFolder() {
        const char* base = std::getenv("ZU_TEST_TMP");
        const std::filesystem::path parent =
            base && *base ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
        std::filesystem::create_directories(parent);
        std::string pattern = (parent / "zu-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            ADD_FAILURE() << "cannot create a folder in " << parent;
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A path inside the folder, as the core's file functions take it.
    std::string file(std::string_view name) const { return (path_ / name).string(); }
    // The folder as the config code takes it, with a trailing "/".
    std::string withSlash() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

// Sets (or, with nullopt, removes) one environment variable for the lifetime
// of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        apply(value);
    }
    ~ScopedEnv() { apply(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void apply(const std::optional<std::string>& value) {
        if (value)
            ::setenv(name_.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace zu::testing
