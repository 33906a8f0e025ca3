#include "cli/cli_commands.h"

#include <iostream>

#include "app/project_commands.h"
#include "cli/file_checks.h"
#include "model/project.h"

void Print(const Json& json) {
    std::cout << Dump(json) << '\n';
}

bool SaveProject(CProjectCommands& commands, const std::string& path, std::string& error) {
    const CStatus saved = commands.SaveProject(path);
    error = saved.Reason();
    return saved.IsOk();
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

std::optional<int> SimulateOrApply(CProjectCommands& commands,
                                   const std::optional<int>& resultSet) {
    if (!resultSet) {
        return std::nullopt;
    }
    int32_t n = *resultSet;
    commands.ApplyResultSet(n);
    return n;
}

bool LoadProject(CProjectCommands& commands, const std::string& path, std::string& error,
                 CReadReport* report) {
    if (!CheckInputFile(path, error)) {
        return false;
    }
    CReadReport read;
    const CStatus opened = commands.OpenProject(path, &read);
    if (!opened) {
        error = opened.Reason();
        return false;
    }
    if (read.LostPoints()) {
        std::cerr << "quillmark-cli: warning: " << path << ": " << read.Summary() << '\n';
    }
    if (report != nullptr) {
        *report = read;
    }
    return true;
}
