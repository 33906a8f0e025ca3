#include "cli/resave_command.h"

#include "app/project_commands.h"
#include "cli/cli_commands.h"
#include "model/project.h"

int RunResave(const std::string& inPath, const std::string& outPath) {
    CProject project;
    CProjectCommands commands(project);
    if (const CStatus loaded = LoadProject(commands, inPath); !loaded) {
        return Fail(loaded);
    }
    if (const CStatus saved = SaveProject(commands, outPath); !saved) {
        return Fail(saved);
    }
    return 0;
}
