// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/TypeIcons.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The bundled icons live in a static library, whose resources must be registered by name.
static void InitBundledIcons()
{
    Q_INIT_RESOURCE(TypeIcons);
}

namespace pellamy {
namespace {

const QString kBundledIcons = QStringLiteral(":/pellamy/icons");

void AppendIfMissing(QStringList& list, const QString& item)
{
    if (!item.isEmpty() && !list.contains(item)) {
        list.append(item);
    }
}

QString FirstInstalledTheme(const QStringList& searchPaths)
{
    for (const char* theme : {"Adwaita", "breeze", "hicolor"}) {
        for (const QString& dir : searchPaths) {
            if (QFileInfo::exists(dir + QLatin1Char('/') + QLatin1String(theme) +
                                  QStringLiteral("/index.theme"))) {
                return QLatin1String(theme);
            }
        }
    }
    return {};
}

} // namespace

void ImageList::SetHandle(TypeImageList* list)
{
    m_handle = list;
    if (list != nullptr) {
        m_iconSize = TypeImageList::IconSize();
    }
}

QIcon ImageList::Icon(int index) const
{
    return m_handle != nullptr ? m_handle->Icon(index) : QIcon();
}

TypeIcons::TypeIcons(TypeImageList& images)
    : m_images(images)
{
    ConfigureIconTheme();
    m_descriptions.emplace();
}

TypeIcons& TypeIcons::Shared()
{
    static auto* icons = new TypeIcons(TypeImageList::Shared());
    return *icons;
}

QString TypeIcons::GenericDocumentIconName()
{
    return QStringLiteral("text-x-generic");
}

int TypeIcons::IconIndex(std::string_view extension)
{
    if (const auto it = m_iconIndex.find(extension); it != m_iconIndex.end()) {
        return it->second;
    }
    const int index = Resolve(extension);
    m_iconIndex.emplace(std::string(extension), index);
    return index;
}

std::string TypeIcons::Description(const std::string& extension)
{
    return m_descriptions->GetTypeDescription(extension);
}

void TypeIcons::ForgetLookups()
{
    m_iconIndex.clear();
    m_descriptions.emplace();
}

int TypeIcons::Resolve(std::string_view extension)
{
    // The extension's own case is kept: the database knows case-sensitive patterns such as *.C.
    const QString probe =
        QStringLiteral("x") + QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
    const QMimeType type = m_database.mimeTypeForFile(probe, QMimeDatabase::MatchExtension);
    QStringList candidates;
    if (type.isValid()) {
        AppendIfMissing(candidates, type.iconName());
        AppendIfMissing(candidates, type.genericIconName());
    }
    AppendIfMissing(candidates, GenericDocumentIconName());
    for (const QString& name : candidates) {
        if (QIcon::hasThemeIcon(name)) {
            return m_images.IndexOf(name, QIcon::fromTheme(name));
        }
    }
    // The theme set-up has been undone: the bundled document is still there.
    return m_images.IndexOf(
        GenericDocumentIconName(),
        QIcon(kBundledIcons + QLatin1Char('/') + GenericDocumentIconName() + QStringLiteral(".xpm")));
}

void ConfigureIconTheme()
{
    static bool configured = false;
    if (configured) {
        return;
    }
    configured = true;
    InitBundledIcons();

    // A session without a desktop (or the offscreen platform) offers no icon folders at all.
    QStringList searchPaths = QIcon::themeSearchPaths();
    AppendIfMissing(searchPaths, QDir::homePath() + QStringLiteral("/.icons"));
    const QStringList dataDirs = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    for (const QString& dir : dataDirs) {
        AppendIfMissing(searchPaths, dir);
    }
    for (const char* dir : {"/usr/local/share/icons", "/usr/share/icons"}) {
        if (QFileInfo::exists(QLatin1String(dir))) {
            AppendIfMissing(searchPaths, QLatin1String(dir));
        }
    }
    QIcon::setThemeSearchPaths(searchPaths);

    const QString fallbackTheme = FirstInstalledTheme(searchPaths);
    if (!fallbackTheme.isEmpty()) {
        QIcon::setFallbackThemeName(fallbackTheme);
    }
    // Without a theme name Qt looks nowhere, not even on the fallback search path.
    if (QIcon::themeName().isEmpty()) {
        QIcon::setThemeName(fallbackTheme.isEmpty() ? QStringLiteral("hicolor") : fallbackTheme);
    }
    QStringList fallbackPaths = QIcon::fallbackSearchPaths();
    AppendIfMissing(fallbackPaths, kBundledIcons);
    QIcon::setFallbackSearchPaths(fallbackPaths);
}

std::string GetTypeDescription(const std::string& extension)
{
    return TypeIcons::Shared().Description(extension);
}

int GetTypeIconIndex(const std::string& extension)
{
    return TypeIcons::Shared().IconIndex(extension);
}

int InitShellIconCache(bool /*restore*/)
{
    return 0;
}

void AttachSystemImageList(ImageList& list, bool initialise)
{
    if (initialise) {
        InitShellIconCache(true);
    }
    ConfigureIconTheme();
    list.SetHandle(&TypeImageList::Shared());
}

} // namespace pellamy
