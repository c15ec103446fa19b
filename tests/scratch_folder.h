// A folder of the running test's own, for tests of files: made empty before
// the test and removed after it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace treva::testing {

struct ScratchFolder {
    const std::filesystem::path folder = named();

    ScratchFolder() {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    ~ScratchFolder() { std::filesystem::remove_all(folder); }

    std::string path(const char *name) const { return (folder / name).string(); }

private:
    // Named after the test, so that tests run at once never share one.
    static std::filesystem::path named() {
        const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::filesystem::temp_directory_path() /
               (std::string("treva-") + test->test_suite_name() + "-" + test->name());
    }
};

inline std::string readAll(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace treva::testing
