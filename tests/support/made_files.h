#pragma once

#include <string>
#include <string_view>
#include <vector>

// The files and folders one test made, removed by name when the owner goes, newest first, whatever
// the outcome. It makes them only inside the temporary folder or on a drive this process proved its
// own (drive_ownership.h); asked for anything else it throws before touching it. A folder it did
// not make stays, and so does one of its own that still holds something it did not make.
class MadeFiles {
public:
    MadeFiles() = default;
    ~MadeFiles();
    MadeFiles(const MadeFiles&) = delete;
    MadeFiles& operator=(const MadeFiles&) = delete;

    // Both create the missing parent folders too and return the full path.
    std::wstring writeFile(const std::wstring& path, std::string_view bytes = {});
    std::wstring makeFolder(const std::wstring& path);

    // A path that the code under test may create, anywhere: it must not exist yet (else this
    // throws), and whatever is there at the end is removed.
    void claim(const std::wstring& path);

private:
    void makeParents(const std::wstring& path);
    bool makeOneFolder(const std::wstring& path);

    std::vector<std::wstring> made;   // in the order made
};
