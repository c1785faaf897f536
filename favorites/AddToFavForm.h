// TAddToFavForm "添加到收藏夹": names the movie being added to the favorites
// and takes a comment; OK adds the favorite or updates the one of that name.
#pragma once

#include <string>

#include "ui/DialogForm.h"
#include "ui/Handles.h"
#include "ui/MyImage.h"

namespace kv {

class TAddToFavForm : public DialogForm {
public:
    TAddToFavForm();
    void FormCreate() override;

    // Presets the name and holds the movie's path (set before showing).
    void setMovie(const std::string& title, const std::string& path);

    void bbtnOkClick();

    Edit& edtFavName() const { return get<Edit>("edtFavName"); }
    Memo& mmoComments() const { return get<Memo>("mmoComments"); }
    Label& lblFavFileName() const { return get<Label>("lblFavFileName"); }

    MyImage Image1{this};  // decoration: the program's icon

private:
    UniqueBitmap picture_;
};

// Opens the add dialog for a movie (the title proposes the name).
void AddFileToFavorite(const std::string& title, const std::string& path);

}  // namespace kv
