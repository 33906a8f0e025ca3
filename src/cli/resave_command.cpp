#include "cli/resave_command.h"

#include "app/project_commands.h"
#include "cli/cli_commands.h"
#include "model/project.h"

int RunResave(const std::string& inPath, const std::string& outPath) {
    CProject project;
    CProjectCommands commands(project);
    std::string error;
    if (!LoadProject(commands, inPath, error) || !SaveProject(commands, outPath, error)) {
        return Fail(error);
    }
    return 0;
}
