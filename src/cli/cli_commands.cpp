#include "cli/cli_commands.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "app/project_commands.h"
#include "cli/file_checks.h"
#include "model/project.h"

void Print(const Json& json) {
    std::cout << Dump(json) << '\n';
}

CStatus SaveProject(CProjectCommands& commands, const std::string& path) {
    return commands.SaveProject(path);
}

Json OptionalDate(const CDataSet& ds, bool last) {
    if (ds.Points().empty()) {
        return nullptr;
    }
    return DateJson(last ? ds.Points().back() : ds.Points().front());
}

int Fail(const std::string& message) {
    std::cerr << "quillmark-cli: error: " << message << '\n';
    return 1;
}

int Fail(const CStatus& status) {
    return Fail(status.Reason());
}

std::optional<int> SimulateOrApply(CProjectCommands& commands,
                                   const std::optional<int>& resultSet) {
    if (!resultSet) {
        return std::nullopt;
    }
    int32_t n = *resultSet;
    commands.ApplyResultSet(n);
    return n;
}

CStatus LoadProject(CProjectCommands& commands, const std::string& path, CReadReport* report) {
    if (CStatus checked = CheckInputFile(path); !checked) {
        return checked;
    }
    CReadReport read;
    CStatus opened = commands.OpenProject(path, &read);
    if (!opened) {
        return opened;
    }
    if (read.LostPoints()) {
        std::cerr << "quillmark-cli: warning: " << path << ": " << read.Summary() << '\n';
    }
    if (report != nullptr) {
        *report = read;
    }
    return opened;
}

void CTerminalProgress::ReportProgress(int32_t position) {
    std::fprintf(stderr, "\r[%-50s] %3d%%",
                 std::string(static_cast<size_t>(position / 2), '#').c_str(), position);
    if (position == 100) {
        std::fputc('\n', stderr);
    }
}
