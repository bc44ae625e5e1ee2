#include "listed_file.h"

#include "file_time.h"

FileInfo listedFileRecord(const WIN32_FIND_DATAA& entry, const std::string& path)
{
    FileInfo info;
    info.name = entry.cFileName;
    info.path = path;
    info.size = entrySize(entry);
    info.modifiedTime = fileTimeText(entry.ftLastWriteTime);
    return info;
}
