#include "options/OptionSeams.h"

#include "app/AppState.h"
#include "app/Seams.h"
#include "options/ErrorReport.h"
#include "options/FileAssociation.h"

namespace kv {

void InstallOptionSeams() {
    // A registry that refuses the repair is reported; the program still starts.
    Seams.registerFileTypes = [] {
        try {
            RegisterFileTypesAtStart(ProgramPath);
        } catch (const std::exception& e) {
            ShowErrorReport(nullptr, e);
        }
    };
}

}  // namespace kv
