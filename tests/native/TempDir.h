#pragma once
// A temporary folder removed with everything in it when the test ends.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vellomar::testing {

class TTempDir {
public:
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vellomar-XXXXXX").string();
        FPath = ::mkdtemp(pattern.data());
    }
    ~TTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const { return FPath; }
    std::string Write(const std::string& name, const std::string& content) const {
        const std::string path = FPath + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

private:
    std::string FPath;
};

}  // namespace vellomar::testing
