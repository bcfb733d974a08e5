#include "support/runtime_fixture.h"

#include <unistd.h>

#include <string>

#include "frame/shutdown.h"
#include "frame/startup.h"
#include "platform/message_box.h"
#include "platform/testing/dialog_script.h"

namespace mt {
extern const LibraryRecord* const kLibraryTable[6];
}

namespace mt::test {

void StartRuntime(const ProgramHeader* header)
{
    platform::ScriptMessageBoxes({});
    // The program "lives" in the current directory, so start-up's change of
    // directory leaves relative paths of the test as they are.
    char cwd[4096] = {};
    const std::string here = getcwd(cwd, sizeof cwd) ? cwd : ".";
    SetProgramLocation((here + "/middletext-test").c_str());
    InitializeRuntime(header);
}

void StopRuntime()
{
    Shutdown(0);
    platform::EndDialogScript();
}

const LibraryRecord* const* ImageLibraries() { return kLibraryTable; }

ProgramHeader MakeHeader(const std::string& templateBlock, const std::string& constants, const void* codeBase)
{
    ProgramHeader h{};
    h.programMode = 3;
    h.highestSerial = 0x100;
    h.codeBase = codeBase;
    h.constants = reinterpret_cast<const uint8_t*>(constants.data());
    h.constantsSize = static_cast<int32_t>(constants.size());
    h.templateBlock = reinterpret_cast<const uint8_t*>(templateBlock.data());
    h.templateSize = static_cast<int32_t>(templateBlock.size());
    h.libraryCount = 6;
    h.libraries = kLibraryTable;
    return h;
}

} // namespace mt::test
