#include "cli/file_checks.h"

#include <sys/stat.h>

#include "storage/file_io.h"

bool CheckInputFile(const std::string& path, std::string& error) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return true;
    }
    error = NotRegularFileReason(path, info.st_mode);
    return error.empty();
}

bool CheckOutputIsNotInput(const std::string& output, const std::string& input,
                           std::string& error) {
    struct stat out {};
    struct stat in {};
    if (stat(output.c_str(), &out) != 0 || stat(input.c_str(), &in) != 0 ||
        out.st_dev != in.st_dev || out.st_ino != in.st_ino) {
        return true;
    }
    error = "'" + output + "' is the same file as the input '" + input +
            "'; writing it would destroy the input";
    return false;
}
