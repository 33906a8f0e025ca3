#include "cli/argument_checks.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The number the whole text stands for; false for anything else ("12abc", "", " 1").
bool ParseNumber(const std::string& text, double& number) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    number = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && errno != ERANGE && std::isfinite(number);
}

// As the kernel's own limit on symlinks in one path.
constexpr int kMaxLinkHops = 40;

// The file `path` leads to: its symlinks followed (a dangling one to the name it points at),
// made absolute and free of "." and "..", so that two paths to one file give one text.
std::string FileBehind(const std::string& path) {
    fs::path resolved = fs::absolute(path);
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(resolved, ec))) {
            break;
        }
        const fs::path link = fs::read_symlink(resolved, ec);
        if (ec) {
            break;
        }
        resolved = link.is_absolute() ? link : resolved.parent_path() / link;
    }
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(resolved, ec);
    return (ec ? resolved : canonical).lexically_normal().string();
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    if (stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0) {
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    }
    return FileBehind(a) == FileBehind(b);
}

}  // namespace

std::string NonEmptyPathError(const std::string& value) {
    return value.empty() ? std::string("empty path") : std::string();
}

std::string FiniteNonNegativeError(const std::string& value) {
    double number = 0.0;
    return ParseNumber(value, number) && number >= 0.0
               ? std::string()
               : "'" + value + "' is not a finite number of 0 or more";
}

std::string FiniteNumberError(const std::string& value) {
    double number = 0.0;
    return ParseNumber(value, number) ? std::string() : "'" + value + "' is not a finite number";
}

std::string WholeNumberInError(const std::string& value, int low, int high) {
    double number = 0.0;
    const bool whole = ParseNumber(value, number) && number == std::floor(number) &&
                       value.find_first_of(".eE") == std::string::npos;
    return whole && number >= low && number <= high
               ? std::string()
               : "'" + value + "' is not a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high);
}

bool CheckOutputsApart(const std::vector<std::pair<std::string, std::string>>& outputs,
                       std::string& error) {
    for (size_t i = 0; i < outputs.size(); ++i) {
        for (size_t k = i + 1; k < outputs.size(); ++k) {
            const auto& [firstName, firstPath] = outputs[i];
            const auto& [secondName, secondPath] = outputs[k];
            if (firstPath.empty() || secondPath.empty() || !SameFile(firstPath, secondPath)) {
                continue;
            }
            error = firstName + " '" + firstPath + "' and " + secondName + " '" + secondPath +
                    "' are one file; one output would replace the other";
            return false;
        }
    }
    return true;
}
