// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_QT_TYPEICONS_H
#define PELLAMY_SHELL_QT_TYPEICONS_H

#include "shell/qt/MimeTypeDescriptions.h"
#include "shell/qt/TypeImageList.h"

#include <QMimeDatabase>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pellamy {

/// The window's image list (`ImageList1`): a handle on the shared type image list. It never owns
/// what it holds (its images are shared), so letting go of the handle leaves the shared list as it
/// was. Without a handle it has no images and rows show none.
class ImageList
{
public:
    /// Lets go of the list held and adopts `list` (may be null) with its icon size.
    void SetHandle(TypeImageList* list);

    TypeImageList* Handle() const { return m_handle; }
    QSize IconSize() const { return m_iconSize; }

    /// The image at `index`; a null icon without a handle or for an index outside the list.
    QIcon Icon(int index) const;

private:
    TypeImageList* m_handle = nullptr;
    QSize m_iconSize{16, 16};
};

/// Small type icons and type descriptions by extension alone, from the freedesktop MIME database
/// and the icon theme; no file is touched. The icon is the theme icon of the extension's MIME type,
/// else its generic icon, else a generic document; each extension is resolved once and then
/// answered from a cache, and each distinct icon takes one index of the image list.
class TypeIcons
{
public:
    /// Resolves into `images`, which must outlive this object.
    explicit TypeIcons(TypeImageList& images);

    /// The lookups of the program, over `TypeImageList::Shared()`; never destroyed.
    static TypeIcons& Shared();

    /// The image-list index of the icon of files with `extension` (".txt", or empty).
    int IconIndex(std::string_view extension);

    /// The description of files with `extension`: the MIME type's comment, "XYZ File" for a type
    /// the database does not know, "File" without an extension.
    std::string Description(const std::string& extension);

    /// The cached descriptions, as a source for the type summary.
    TypeInfoSource& Descriptions() { return *m_descriptions; }

    /// Forgets what was resolved per extension (after the icon theme changed, say); the indices
    /// already handed out stay valid.
    void ForgetLookups();

    /// The theme name of the generic document icon, the last resort for every type.
    static QString GenericDocumentIconName();

private:
    int Resolve(std::string_view extension);

    struct TextHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };

    TypeImageList& m_images;
    QMimeDatabase m_database;
    std::optional<MimeTypeDescriptions> m_descriptions;
    std::unordered_map<std::string, int, TextHash, std::equal_to<>> m_iconIndex;
};

/// Makes the icon theme usable in any session: adds the freedesktop icon folders to the theme
/// search paths, names an installed fallback theme (Adwaita, breeze or hicolor), sets a theme where
/// the session names none, and puts the icons bundled with the program on the fallback search
/// path. Runs once; later calls do nothing. Needs the application object.
void ConfigureIconTheme();

/// `TypeIcons::Shared().Description(extension)`.
std::string GetTypeDescription(const std::string& extension);

/// `TypeIcons::Shared().IconIndex(extension)`: an index into the shared type image list.
int GetTypeIconIndex(const std::string& extension);

/// The shell's icon-cache initialisation. There is no such cache to restore here, so it does
/// nothing and returns 0.
int InitShellIconCache(bool restore);

/// Binds `list` to the shared type image list, running `InitShellIconCache(true)` first when
/// `initialise` is set, and prepares the icon theme.
void AttachSystemImageList(ImageList& list, bool initialise);

} // namespace pellamy

#endif
