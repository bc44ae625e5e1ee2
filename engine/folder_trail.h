#pragma once

#include "folder_identity.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The folders a walk is inside, from the folder it started in down to the one it is reading, so
// that a link back into one of them is not followed round again. Below the start, folders form a
// tree until the walk passes a link (a junction or a symbolic link to a folder), so folders are
// identified only at a link and below one: a walk of a tree without links opens nothing extra.
class FolderTrail {
public:
    explicit FolderTrail(std::wstring start);
    FolderTrail(const FolderTrail&) = delete;
    FolderTrail& operator=(const FolderTrail&) = delete;

    // The walk is inside a subfolder for as long as its step lives.
    class Step {
    public:
        Step(Step&& other) noexcept : trail(std::exchange(other.trail, nullptr)) {}
        Step& operator=(Step&&) = delete;
        ~Step()
        {
            if (trail != nullptr) {
                trail->leave();
            }
        }

    private:
        friend class FolderTrail;
        explicit Step(FolderTrail& trail) : trail(&trail) {}

        FolderTrail* trail;
    };

    // Nothing when the subfolder of the last folder entered is one of the folders the walk is
    // already inside; a folder that cannot be identified is entered.
    std::optional<Step> enter(std::wstring path, bool isLink);

private:
    struct Folder {
        std::wstring path;
        bool isLink = false;
        bool identified = false;
        std::optional<FolderIdentity> identity;
    };

    const std::optional<FolderIdentity>& identityOf(Folder& folder);
    void leave();

    std::vector<Folder> folders;
    std::size_t linksEntered = 0;
};
