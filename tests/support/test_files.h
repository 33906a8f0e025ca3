#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "model/project.h"

// Temporary folders and project texts shared by the file tests.

// A fresh folder under /tmp, removed with its contents at the end of the test.
class TempFolder {
  public:
    TempFolder() {
        char name[] = "/tmp/quillmark-test-XXXXXX";
        if (mkdtemp(name) != nullptr) {
            m_path = name;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string PathOf(const std::string& name) const { return m_path + "/" + name; }

    // Writes `content` to the file `name` in the folder and returns its path.
    std::string File(const std::string& name, const std::string& content) const {
        std::string path = PathOf(name);
        if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(content.data(), 1, content.size(), f);
            std::fclose(f);
        }
        return path;
    }

  private:
    std::string m_path;
};

inline std::string Written(const CProject& project) {
    std::string out;
    project.Write(out);
    return out;
}

// Empty for equal texts; otherwise both texts around their first difference.
inline std::string Difference(const std::string& a, const std::string& b) {
    auto first = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first;
    size_t at = static_cast<size_t>(first - a.begin());
    if (at == a.size() && a.size() == b.size()) {
        return "";
    }
    size_t from = at < 80 ? 0 : at - 80;
    return a.substr(from, 160) + "\n    vs\n" + b.substr(from, 160);
}
