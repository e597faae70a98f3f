// A structural check of Level 5 MAT-files, run before matio reads anything from them.
//
// matio trusts the sizes a file declares: a damaged or hostile file makes it allocate
// what the dimensions claim, or read past its data. The index walks the top-level elements
// (tags and names only); checkVariable() then walks one variable completely, compressed
// or not, and accepts it only when every array holds exactly the data its dimensions
// claim, so that what matio then allocates is bounded by what the file holds.
//
// matio finds a variable by reading the headers of every variable before it, cells and
// structs included; a reader must check those too before asking matio for a name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::matfile {

struct Entry {
    std::string name;
    std::uint64_t offset = 0;  // of the element's tag
    std::uint64_t bytes = 0;   // the element's size after its tag
    bool compressed = false;
    std::string problem;       // known from the index already (a truncated element)
};

struct FileIndex {
    std::vector<Entry> entries;  // every variable, in file order
    std::string damage;          // why the walk stopped before the end of the file
    std::uint64_t damageOffset = 0;

    // The position of the first variable of that name (the one matio finds), or npos.
    std::size_t find(std::string_view name) const;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
};

struct Layout {
    int fd = -1;
    std::uint64_t size = 0;
    bool swap = false;  // written with the other byte order
};

// Empty when the first 128 bytes are a Level 5 header; sets layout.swap.
std::string headerProblem(Layout& layout);

FileIndex indexFile(const Layout& layout);

// Empty when matio may read the variable; otherwise what is wrong with it.
std::string checkVariable(const Layout& layout, const Entry& entry);

// matio prints its own complaints unless given a log function; ours report through
// exceptions. Called by the reader and the writer before they use matio.
void silenceMatio();

}  // namespace orvane::matfile
