#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include "model/project.h"
#include "storage/project_writer.h"

// Temporary folders, file contents and project texts shared by the file tests.

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
        const std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

  private:
    std::string m_path;
};

// The bytes of a file; empty if it cannot be read.
inline std::string FileText(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

inline std::string Written(const CProject& project) {
    return ProjectText(project);
}

// A project file as the program writes it: a data set with a result and points, then one with
// empty texts and reals in the %g form.
inline const std::string kExampleProject =
    "<?xml version=\"1.0\"?>\r\n"
    "<QUILLMARK>\r\n"
    "<LIMITS START=\"1.2.2003\" END=\"6.6.2003\" />\r\n"
    "<RANGE  ML=\"20\" MU=\"40\" RR=\"20\" BL=\"60\" BI=\"10\" />\r\n"
    "<DATASET NAME=\"Index\">\r\n"
    "<CURRENCY VALUE=\"USD\" />\r\n"
    "<COMMENT VALUE=\"daily close\" />\r\n"
    "<PARAMETERS  ML=\"20\" RC=\"0\" BL=\"60\" IN=\"1000\" TT=\"5\" GN=\"0\" />\r\n"
    "<RESULT ML=\"25\" RC=\"0.5\" BC=\"55\" GN=\"12.3457\" />\r\n"
    "<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"8764.13000\" />\r\n"
    "<DATAPOINT  DATE=\"6.6.2003\" VALUE=\"8923.45000\" />\r\n"
    "</DATASET>\r\n"
    "<DATASET NAME=\"\">\r\n"
    "<CURRENCY VALUE=\"\" />\r\n"
    "<COMMENT VALUE=\"\" />\r\n"
    "<PARAMETERS  ML=\"20\" RC=\"0\" BL=\"60\" IN=\"1000\" TT=\"1e-05\" GN=\"1.23457e+06\" />\r\n"
    "</DATASET>\r\n"
    "</QUILLMARK>\r\n";
