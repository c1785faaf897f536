// Installs the options part into the main window's seams: the file-type
// repair at start and the options dialog.
#pragma once

namespace kv {

void InstallOptionSeams();

}  // namespace kv
