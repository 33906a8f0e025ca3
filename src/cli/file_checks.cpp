#include "cli/file_checks.h"

#include <sys/stat.h>

#include "storage/file_io.h"

CStatus CheckInputFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return CStatus::Ok();
    }
    std::string reason = NotRegularFileReason(path, info.st_mode);
    return reason.empty() ? CStatus::Ok() : CStatus::Refused(std::move(reason));
}

CStatus CheckOutputIsNotInput(const std::string& output, const std::string& input) {
    struct stat out {};
    struct stat in {};
    if (stat(output.c_str(), &out) != 0 || stat(input.c_str(), &in) != 0 ||
        out.st_dev != in.st_dev || out.st_ino != in.st_ino) {
        return CStatus::Ok();
    }
    return CStatus::Refused("'" + output + "' is the same file as the input '" + input +
                            "'; writing it would destroy the input");
}
