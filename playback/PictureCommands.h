// The picture and Save As commands of the play window and the main menu:
// saving the current picture, the wallpaper dialog, the multi-picture view
// and saving the movie under a new name. Each does nothing while no movie is
// loaded.
#pragma once

#include <string>

namespace kv {

// The save-picture dialog's filter: BMP first (the default), then PNG.
extern const char* const kSavePictureFilter;

// Takes the picture now shown, then asks for a file and writes it.
void SaveCurrentPicture();
// Asks for a name and saves the current movie there by the save-as rule.
void SaveCurrentMovieAs();
// Puts the four commands into the main window's seams.
void InstallPictureCommands();

}  // namespace kv
