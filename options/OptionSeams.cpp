#include "options/OptionSeams.h"

#include "app/AppState.h"
#include "app/Seams.h"
#include "options/FileAssociation.h"
#include "options/OptionForm.h"
#include "ui/RuntimeErrors.h"

namespace kv {

void InstallOptionSeams() {
    Seams.showOptions = ShowOptionForm;
    // A registry that refuses the repair is reported; the program still starts.
    Seams.registerFileTypes = [] {
        try {
            RegisterFileTypesAtStart(ProgramPath);
        } catch (const std::exception& e) {
            ShowErrorReport(e);
        }
    };
}

}  // namespace kv
