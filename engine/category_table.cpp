#include "category_table.h"

#include <iterator>

namespace {

constexpr CategoryRow rows[] = {
    {".jpg",   "image"},
    {".jpeg",  "image"},
    {".png",   "image"},
    {".gif",   "image"},
    {".bmp",   "image"},
    {".tiff",  "image"},
    {".webp",  "image"},
    {".ico",   "image"},
    {".psd",   "image"},
    {".mp4",   "video"},
    {".avi",   "video"},
    {".mov",   "video"},
    {".wmv",   "video"},
    {".flv",   "video"},
    {".mkv",   "video"},
    {".mpg",   "video"},
    {".mpeg",  "video"},
    {".3gp",   "video"},
    {".txt",   "text"},
    {".c",     "text"},
    {".cpp",   "text"},
    {".java",  "text"},
    {".js",    "text"},
    {".php",   "text"},
    {".py",    "text"},
    {".html",  "text"},
    {".htm",   "text"},
    {".css",   "text"},
    {".xml",   "text"},
    {".json",  "text"},
    {".csv",   "text"},
    {".log",   "text"},
    {".ini",   "text"},
    {".cfg",   "text"},
    {".bat",   "text"},
    {".sh",    "text"},
    {".sql",   "text"},
    {".md",    "text"},
    {".tex",   "text"},
    {".rst",   "text"},
    {".pdf",   "document"},
    {".doc",   "document"},
    {".docx",  "document"},
    {".xls",   "document"},
    {".xlsx",  "document"},
    {".ppt",   "document"},
    {".pptx",  "document"},
    {".rtf",   "document"},
    {".odt",   "document"},
    {".ods",   "document"},
    {".odp",   "document"},
    {".mp3",   "audio"},
    {".wav",   "audio"},
    {".flac",  "audio"},
    {".aac",   "audio"},
    {".wma",   "audio"},
    {".m4a",   "audio"},
    {".ogg",   "audio"},
    {".pst",   "email"},
    {".ost",   "email"},
    {".eml",   "email"},
    {".msg",   "email"},
    {".zip",   "archive"},
    {".rar",   "archive"},
    {".7z",    "archive"},
    {".tar",   "archive"},
    {".gz",    "archive"},
    {".bz2",   "archive"},
    {".xz",    "archive"},
};

} // namespace

static_assert(std::size(rows) == 69);

std::span<const CategoryRow> engineCategoryRows()
{
    return rows;
}
