#include "app/program_version.h"

// Written by the build before every compile of this file, and only changed when its text would.
#include "quillmark_version.h"

std::string ProgramVersion() {
    const std::string commit = QUILLMARK_COMMIT;
    if (commit.empty()) {
        return QUILLMARK_VERSION;
    }
    return std::string(QUILLMARK_VERSION) + " (git " + commit + ")";
}
