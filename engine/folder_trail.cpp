#include "folder_trail.h"

#include <algorithm>

FolderTrail::FolderTrail(std::wstring start)
{
    Folder folder;
    folder.path = std::move(start);
    folders.push_back(std::move(folder));
}

std::optional<FolderTrail::Step> FolderTrail::enter(std::wstring path, bool isLink)
{
    Folder folder;
    folder.path = std::move(path);
    folder.isLink = isLink;
    if (isLink || linksEntered > 0) {
        folder.identified = true;
        folder.identity = folderIdentity(folder.path);
        if (folder.identity) {
            const bool inside = std::any_of(folders.begin(), folders.end(),
                                            [&](Folder& entered) { return identityOf(entered) == folder.identity; });
            if (inside) {
                return std::nullopt;
            }
        }
    }
    linksEntered += isLink ? 1 : 0;
    folders.push_back(std::move(folder));
    return Step(*this);
}

const std::optional<FolderIdentity>& FolderTrail::identityOf(Folder& folder)
{
    if (!folder.identified) {
        folder.identified = true;
        folder.identity = folderIdentity(folder.path);
    }
    return folder.identity;
}

void FolderTrail::leave()
{
    linksEntered -= folders.back().isLink ? 1 : 0;
    folders.pop_back();
}
