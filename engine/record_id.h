#pragma once

#include <string>
#include <string_view>

// prefix + process id + "_" + seconds since 1970: the common stem of record ids.
std::string timedRecordId(std::string_view prefix);

// prefix + process id, for ids that carry no time.
std::string processRecordId(std::string_view prefix);
