#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

// A name that would leave the target folder or name the folder itself: empty, ".", "..",
// or holding "\", "/" or ":".
bool isRefusedCopyName(std::wstring_view name);

// The name for the nth copy: the name itself for 1, then "name (2).ext", "name (3).ext", ...
// The number goes before the last dot; a name whose only dot leads it gets the number at its end.
std::wstring numberedCopyName(std::wstring_view name, std::uint64_t number);

// The copy numbers of one recovery, per name. Flat recovery of a tree meets thousands of equal
// names (index.html, Thumbs.db); each copy starts from the number after the last one used
// instead of probing every taken number from the start again.
class CopyNumbering {
public:
    struct Choice {
        std::wstring name;
        std::uint64_t number = 1;
    };

    // The first numbered name, from the one after the last used, that isTaken says is free.
    // There is no upper bound: a taken name always gets the next free number.
    template <typename IsTaken>
    Choice freeName(std::wstring_view name, IsTaken isTaken) const
    {
        for (std::uint64_t number = firstToTry(name);; ++number) {
            std::wstring candidate = numberedCopyName(name, number);
            if (!isTaken(candidate)) {
                return {std::move(candidate), number};
            }
        }
    }

    // A copy was made under this number of the name.
    void used(std::wstring_view name, std::uint64_t number);

private:
    std::uint64_t firstToTry(std::wstring_view name) const;

    std::map<std::wstring, std::uint64_t, std::less<>> nextNumber;
};
